-- The menu windows: the in-level menu, the map menu, the options window and
-- the reset question. The volume bars are nodes of the panels' scenes.

local function button(id, x, y, text)
    return { id = id, class = "UIButton", instance = "#pill_button_ui:PillButton", position = {x, y}, text = text }
end

-- The round close button of a panel's top right corner.
local function closeButton(x, y)
    local state = function(id, value)
        return { id = id, propertyChanges = { { target = "btnCloseFace", property = "transparency", duration = 0.08, value = value } } }
    end
    return {
        id = "btnClose", class = "UIButton", position = {x, y}, size = {48, 48}, fontPreset = "ui_presets_lua:ui_button", text = "",
        childs = { { id = "btnCloseFace", class = "UISprite", imagename = "shop_sprites_lua", tablename = "shop_close" } },
        states = { state("onIdle", 1), state("onSelect", 0.85), state("onPress", 0.7) },
    }
end

local function checkBox(id, textId, y)
    return {
        { id = id, class = "UICheckBox", position = {60, y}, size = {40, 40}, thumb = id .. "Tick",
          childs = {
              { id = id .. "Box", class = "UISprite", imagename = "ui_sprites_lua", tablename = "ui_check_box" },
              { id = id .. "Tick", class = "UISprite", imagename = "ui_sprites_lua", tablename = "ui_check_tick" },
          } },
        { id = id .. "Text", class = "UILabel", position = {112, y}, size = {270, 40},
          fontPreset = "ui_presets_lua:ui_body", text = textId },
    }
end

-- A forced hide leaves every widget transparent: the idle state brings back
-- the window, its scene and the labels named here.
local function window(name, scene, position, childs, labels)
    local changes = {
        { target = name, property = "transparency", duration = 0.1, value = 1 },
        { target = "gui", property = "transparency", duration = 0.1, value = 1 },
    }
    for _, label in ipairs(labels or {}) do
        changes[#changes + 1] = { target = label, property = "transparency", duration = 0.1, value = 1 }
    end
    local all = { { id = "gui", class = "UISceneNode", scene = scene } }
    for _, child in ipairs(childs) do all[#all + 1] = child end
    return { id = name, class = "UIWidget", position = position, modal = 1, childs = all,
             states = { { id = "onIdle", propertyChanges = changes } } }
end

InGameMenu = window("InGameMenu", "menu_window_scene_xml", {420, 100}, {
    button("btnHelp", 132, 262, "#BTN_HELP"),
    button("btnMap", 132, 340, "#BTN_TO_MAP"),
    button("btnAccept", 132, 418, "#BTN_OK"),
    closeButton(384, 10),
})

MapMenu = window("MapMenu", "menu_window_scene_xml", {420, 100}, {
    button("btnHelp", 132, 262, "#BTN_HELP"),
    button("btnMainMenu", 132, 340, "#BTN_MAIN_MENU"),
    button("btnAccept", 132, 418, "#BTN_OK"),
    closeButton(384, 10),
})

local optionsChilds = {}
for _, list in ipairs({ checkBox("checkFullScreen", "#OPTIONS_FULL_SCREEN", 70), checkBox("checkGameCursor", "#OPTIONS_GAME_CURSOR", 120) }) do
    for _, child in ipairs(list) do optionsChilds[#optionsChilds + 1] = child end
end
optionsChilds[#optionsChilds + 1] = button("btnReset", 132, 340, "#BTN_RESET_GAME")
optionsChilds[#optionsChilds + 1] = button("btnAccept", 132, 418, "#BTN_OK")
optionsChilds[#optionsChilds + 1] = closeButton(384, 10)
OptionsWindow = window("OptionsWindow", "options_window_scene_xml", {420, 100}, optionsChilds,
    { "checkFullScreen", "checkFullScreenBox", "checkFullScreenTick", "checkFullScreenText",
      "checkGameCursor", "checkGameCursorBox", "checkGameCursorTick", "checkGameCursorText" })

ResetQuestionWindow = window("ResetQuestionWindow", "reset_question_window_scene_xml", {460, 240}, {
    button("btnReject", 178, 160, "#BTN_NO"),
})
