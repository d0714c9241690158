-- A window of the dialog system with a title, a line of text and two answers:
-- "btnOk" closes it with result 1, "btnCancel" with result 0.

-- A pill button whose faces follow its states.
local function button(id, x, y, text)
    return { id = id, class = "UIButton", instance = "#pill_button_ui:PillButton", position = {x, y}, text = text }
end

TestWindow = {
    id = "TestWindow", class = "UIWidget", position = {460, 240},
    childs = {
        { id = "gui", class = "UISceneNode", scene = "test_window_scene_xml" },
        { id = "title", class = "UILabel", position = {44, 4}, size = {272, 40},
          fontPreset = "ui_presets_lua:ui_title", text = "Glimvale" },
        { id = "message", class = "UILabel", position = {32, 64}, size = {296, 80},
          fontPreset = "ui_presets_lua:ui_body", text = "Shall we go on?" },
        button("btnOk", 6, 160, "OK"),
        button("btnCancel", 178, 160, "Cancel"),
    },
    -- Entered at once when the window code shows the tree; the panel scene
    -- animates the opening itself.
    states = {
        { id = "onIdle", propertyChanges = {
            { target = "TestWindow", property = "transparency", duration = 0.1, value = 1 },
            { target = "gui", property = "transparency", duration = 0.1, value = 1 },
            { target = "title", property = "transparency", duration = 0.1, value = 1 },
            { target = "message", property = "transparency", duration = 0.1, value = 1 },
        } },
    },
}
