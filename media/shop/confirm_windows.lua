-- The two yes/no questions: "btnAccept" answers 0, "btnReject" 1.

local function button(id, x, y, text)
    return { id = id, class = "UIButton", instance = "#pill_button_ui:PillButton", position = {x, y}, text = text }
end

local function question(name, title, message)
    return {
        id = name, class = "UIWidget", position = {460, 240}, modal = 1,
        childs = {
            { id = "gui", class = "UISceneNode", scene = "small_panel_scene_xml" },
            { id = "title", class = "UILabel", position = {44, 4}, size = {272, 40},
              fontPreset = "ui_presets_lua:ui_title", text = title },
            { id = "message", class = "UILabel", position = {32, 64}, size = {296, 80},
              fontPreset = "ui_presets_lua:ui_body", text = message },
            button("btnAccept", 6, 160, "#BTN_YES"),
            button("btnReject", 178, 160, "#BTN_NO"),
        },
        states = {
            { id = "onIdle", propertyChanges = {
                { target = name, property = "transparency", duration = 0.1, value = 1 },
                { target = "gui", property = "transparency", duration = 0.1, value = 1 },
                { target = "title", property = "transparency", duration = 0.1, value = 1 },
                { target = "message", property = "transparency", duration = 0.1, value = 1 },
            } },
        },
    }
end

ExitQuestionWindow = question("ExitQuestionWindow", "#EXIT_QUESTION_TITLE", "#EXIT_QUESTION_TEXT")
ConfirmExitLevelWindow = question("ConfirmExitLevelWindow", "#CONFIRM_EXIT_LEVEL_TITLE", "#CONFIRM_EXIT_LEVEL_TEXT")
