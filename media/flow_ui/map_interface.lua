-- The episode map's interface: the top panel scene with the player's silver,
-- gold, stars and hearts, the round "+" that opens the star shop, the mail
-- button, and the button back to the main menu (the shared pill button).

local function faces(id, table, suffixes)
    local childs = {}
    for name, sprite in pairs(suffixes) do
        childs[#childs + 1] = { id = id .. name, class = "UISprite", imagename = table, tablename = sprite }
    end
    return childs
end

local function states(id)
    local show = function(state, visible)
        local changes = {}
        for name, value in pairs(visible) do
            changes[#changes + 1] = { target = id .. name, property = "transparency", duration = 0.08, value = value }
        end
        return { id = state, propertyChanges = changes }
    end
    return {
        show("onIdle", { Face = 1, Hover = 0, Pressed = 0 }),
        show("onSelect", { Hover = 1, Pressed = 0 }),
        show("onPress", { Pressed = 1 }),
    }
end

MapInterface = {
    id = "MapInterface", class = "UIWidget", position = {0, 0},
    childs = {
        { id = "gui", class = "UISceneNode", scene = "map_interface_scene_xml" },
        { id = "btnMenu", class = "UIButton", instance = "#pill_button_ui:PillButton", position = {20, 14}, text = "Menu" },
        { id = "btnMail", class = "UIButton", position = {210, 18}, size = {56, 56},
          fontPreset = "ui_presets_lua:ui_button", text = "",
          childs = faces("btnMail", "flow_sprites_lua", { Face = "map_mail", Hover = "map_mail", Pressed = "map_mail" }),
          states = states("btnMail") },
        { id = "btnBuyStars", class = "UIButton", position = {1209, 17}, size = {56, 56},
          fontPreset = "ui_presets_lua:ui_button", text = "",
          childs = faces("btnBuyStars", "flow_sprites_lua", { Face = "map_plus", Hover = "map_plus_hover", Pressed = "map_plus_pressed" }),
          states = states("btnBuyStars") },
    },
    events = {
        { element = "btnMenu", slot = "clicked", command = "showMenu" },
        { element = "btnMail", slot = "clicked", command = "showMail" },
        { element = "btnBuyStars", slot = "clicked", command = "showBuyStarsWindow" },
        { element = "btnMail", slot = "clicked", command = "showMail" },
    },
    states = {
        { id = "onIdle", propertyChanges = {
            { target = "MapInterface", property = "transparency", duration = 0.2, value = 1 },
            { target = "gui", property = "transparency", duration = 0.2, value = 1 },
        } },
    },
}
