-- The main menu: the backdrop scene with the lake's water and the version,
-- and a column of buttons (the authors button opens the authors window from
-- code). The social button waits for the social layer and stays hidden;
-- options and the partner link have no button yet.

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

MainMenu = {
    id = "MainMenu", class = "UIWidget", position = {0, 0},
    childs = {
        { id = "gui", class = "UISceneNode", scene = "main_menu_scene_xml" },
        button("btnPlay", 552, 352, "Play"),
        button("btnAuthors", 552, 428, "Authors"),
        button("btnExit", 552, 504, "Exit"),
        button("btnFacebook", 1080, 24, "Connect"),
    },
    events = {
        { element = "btnPlay", slot = "clicked", command = "activateMode:MainMode" },
        { element = "btnExit", slot = "clicked", command = "exit" },
        { element = "btnFacebook", slot = "clicked", command = "connectFacebook" },
    },
    states = {
        { id = "onIdle", propertyChanges = {
            { target = "MainMenu", property = "transparency", duration = 0.2, value = 1 },
            { target = "gui", property = "transparency", duration = 0.2, value = 1 },
        } },
    },
}
