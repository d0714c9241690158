-- The social windows: the requests and help lists, the connection window
-- and the friend-passed window. Buttons use the shared pill; the round close
-- button sits on the panel's top right corner.

local function button(id, x, y, text)
    return { id = id, class = "UIButton", instance = "#pill_button_ui:PillButton", position = {x, y}, text = text }
end

-- A button without a face over a part of the scene that draws it.
local function area(id, x, y, w, h)
    return { id = id, class = "UIButton", position = {x, y}, size = {w, h}, fontPreset = "ui_presets_lua:ui_button", text = "" }
end

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

local function fadeIn(name, extra)
    local changes = {
        { target = name, property = "transparency", duration = 0.1, value = 1 },
        { target = "gui", property = "transparency", duration = 0.1, value = 1 },
    }
    for _, id in ipairs(extra or {}) do
        changes[#changes + 1] = { target = id, property = "transparency", duration = 0.1, value = 1 }
    end
    return { { id = "onIdle", propertyChanges = changes } }
end

-- A list of checkable rows with its select-all box and the OK pill.
local function checkList(name, scene, ok)
    return {
        id = name, class = "UIWidget", position = {362, 111}, modal = 1,
        childs = {
            { id = "gui", class = "UISceneNode", scene = scene },
            { id = "requests_list", class = "UISceneList", position = {40, 84}, scene = "social_list_scene_xml", type = "strip" },
            area("btnSelectAll", 40, 418, 240, 52),
            button("btnOk", 340, 414, ok),
            closeButton(498, 4),
        },
        states = fadeIn(name, { "requests_list" }),
    }
end

RequestsWnd = checkList("RequestsWnd", "requests_wnd_scene_xml", "#BTN_ACCEPT")
HelpRandomFriendsWnd = checkList("HelpRandomFriendsWnd", "help_random_friends_wnd_scene_xml", "#BTN_ASK")

FacebookMessageWnd = {
    id = "FacebookMessageWnd", class = "UIWidget", position = {460, 240}, modal = 1,
    childs = {
        { id = "gui", class = "UISceneNode", scene = "facebook_message_wnd_scene_xml" },
        area("btnLogout", 92, 98, 176, 64),
        { id = "btn_close", class = "UIWidget", position = {0, 0}, childs = { button("btnClose", 92, 162, "#BTN_OK") } },
    },
    states = fadeIn("FacebookMessageWnd"),
}

FriendPassedWnd = {
    id = "FriendPassedWnd", class = "UIWidget", position = {362, 111}, modal = 1,
    childs = {
        { id = "gui", class = "UISceneNode", scene = "friend_passed_wnd_scene_xml" },
        button("btnSend", 190, 400, "#BTN_TELL"),
        closeButton(498, 4),
    },
    states = fadeIn("FriendPassedWnd"),
}
