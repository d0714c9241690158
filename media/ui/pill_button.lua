-- The pill button every window uses. A window embeds it with
-- instance = "#pill_button_ui:PillButton" and gives the button its own id,
-- position and text; the faces follow the button's states.

local function face(name, table)
    return { id = name, class = "UISprite", imagename = "ui_sprites_lua", tablename = table }
end

local function show(state, visible)
    local changes = {}
    for name, value in pairs(visible) do
        changes[#changes + 1] = { target = name, property = "transparency", duration = 0.08, value = value }
    end
    return { id = state, propertyChanges = changes }
end

PillButton = {
    id = "PillButton", class = "UIButton",
    fontPreset = "ui_presets_lua:ui_button", size = {176, 64},
    childs = { face("Face", "ui_button"), face("Hover", "ui_button_hover"), face("Pressed", "ui_button_pressed") },
    states = {
        show("onIdle", { Face = 1, Hover = 0, Pressed = 0 }),
        show("onSelect", { Hover = 1, Pressed = 0 }),
        show("onPress", { Pressed = 1 }),
    },
}
