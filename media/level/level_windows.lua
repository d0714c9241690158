-- The level windows: the start window, the win window and the fail window,
-- each a 520 x 520 panel in the middle of the screen with its scene, a green
-- pill button under its content and a round close button on its corner.

local function pill(id, text)
    return { id = id, class = "UIButton", instance = "#pill_button_ui:PillButton", position = {172, 430}, text = text }
end

local function closeButton()
    local state = function(id, value)
        return { id = id, propertyChanges = { { target = "btnCloseFace", property = "transparency", duration = 0.08, value = value } } }
    end
    return {
        id = "btnClose", class = "UIButton", position = {458, 12}, size = {48, 48}, fontPreset = "ui_presets_lua:ui_button", text = "",
        childs = { { id = "btnCloseFace", class = "UISprite", imagename = "shop_sprites_lua", tablename = "shop_close" } },
        states = { state("onIdle", 1), state("onSelect", 0.85), state("onPress", 0.7) },
    }
end

-- An invisible button over a passive booster slot of the scene.
local function slotButton(id, x)
    return { id = id, class = "UIButton", position = {x, 322}, size = {88, 88}, fontPreset = "ui_presets_lua:ui_button", text = "" }
end

-- The friends' panels: a column of rows left of the window (landscape) and a
-- row of cards under it (portrait); without a session a connect button under the window.
local function friends()
    local connect = function(id, x, y)
        return { id = id, class = "UIButton", instance = "#pill_button_ui:PillButton", position = {x, y}, text = "#FACEBOOK_BTN_TEXT_CONNECT" }
    end
    return {
        { id = "leftListFriends", class = "UISceneList", position = {-268, 40}, scene = "friends_list_left_scene_xml", type = "strip" },
        { id = "bottomListFriends", class = "UISceneList", position = {0, 540}, scene = "friends_list_bottom_scene_xml", type = "strip", orient = "hor" },
        connect("facebook_btn_left", 172, 522),
        connect("facebook_btn_bottom", 172, 548),
    }
end

-- The level windows list friends; the out-of-moves window (noFriends) does not.
local function window(name, scene, childs, noFriends)
    local all = { { id = "gui", class = "UISceneNode", scene = scene } }
    for _, c in ipairs(childs) do all[#all + 1] = c end
    local changes = {
        { target = name, property = "transparency", duration = 0.1, value = 1 },
        { target = "gui", property = "transparency", duration = 0.1, value = 1 },
    }
    if not noFriends then
        for _, c in ipairs(friends()) do all[#all + 1] = c end
        changes[#changes + 1] = { target = "leftListFriends", property = "transparency", duration = 0.1, value = 1 }
        changes[#changes + 1] = { target = "bottomListFriends", property = "transparency", duration = 0.1, value = 1 }
    end
    return {
        id = name, class = "UIWidget", position = {380, 100}, modal = 1, childs = all,
        states = { { id = "onIdle", propertyChanges = changes } },
    }
end

PlayLevelWindow = window("PlayLevelWindow", "play_level_window_scene_xml", {
    slotButton("btnBonusBuy1", 86), slotButton("btnBonusBuy2", 216), slotButton("btnBonusBuy3", 346),
    pill("btnPlay", "#BTN_PLAY"), closeButton(),
})

WinLevelWindow = window("WinLevelWindow", "win_level_window_scene_xml", { pill("btnNext", "#BTN_NEXT"), closeButton() })

FailLevelWindow = window("FailLevelWindow", "fail_level_window_scene_xml", { pill("btnReplay", "#BTN_REPLAY"), closeButton() })

-- Out of moves (or time): the offer to go on for silver, or to give up.
local function pillAt(id, text, x)
    return { id = id, class = "UIButton", instance = "#pill_button_ui:PillButton", position = {x, 430}, text = text }
end
NomovesLevelWindow = window("NomovesLevelWindow", "nomoves_level_window_scene_xml", {
    pillAt("btnEndLevel", "#BTN_END_LEVEL", 62), pillAt("btnContinue", "#BTN_CONTINUE", 282),
}, true)
