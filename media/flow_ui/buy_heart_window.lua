-- The heart window: the countdown to the next heart, one heart for 11 gold
-- (the buy button sits in its own group, shown only without a heart), asking
-- friends, and the round close button.

local function button(id, x, y, text)
    return { id = id, class = "UIButton", instance = "#pill_button_ui:PillButton", position = {x, y}, text = text }
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

BuyHeartWindow = {
    id = "BuyHeartWindow", class = "UIWidget", position = {388, 192}, modal = 1,
    childs = {
        { id = "gui", class = "UISceneNode", scene = "buy_heart_window_scene_xml" },
        { id = "buyGroup", class = "UIWidget", position = {292, 244},
          childs = { button("btnBuy", 0, 0, "#BTN_BUY") } },
        button("btnAskFriends", 36, 244, "#BTN_ASK_FRIENDS"),
        closeButton(462, -6),
    },
    states = { { id = "onIdle", propertyChanges = {
        { target = "BuyHeartWindow", property = "transparency", duration = 0.1, value = 1 },
        { target = "gui", property = "transparency", duration = 0.1, value = 1 },
    } } },
}
