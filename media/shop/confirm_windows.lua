-- The two yes/no questions: "btnAccept" answers 0, "btnReject" 1.

local function button(id, x, y, text)
    local face = function(name, table)
        return { id = id .. name, class = "UISprite", imagename = "ui_sprites_lua", tablename = table }
    end
    local show = function(state, visible)
        local changes = {}
        for name, value in pairs(visible) do
            changes[#changes + 1] = { target = id .. name, property = "transparency", duration = 0.08, value = value }
        end
        return { id = state, propertyChanges = changes }
    end
    return {
        id = id, class = "UIButton", position = {x, y},
        fontPreset = "ui_presets_lua:ui_button", text = text, size = {176, 64},
        childs = { face("Face", "ui_button"), face("Hover", "ui_button_hover"), face("Pressed", "ui_button_pressed") },
        states = {
            show("onIdle", { Face = 1, Hover = 0, Pressed = 0 }),
            show("onSelect", { Hover = 1, Pressed = 0 }),
            show("onPress", { Pressed = 1 }),
        },
    }
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
