-- The level screen's widgets: the menu button (placed by the level at its
-- "menuButton" marker) and the moves or time panel (placed at "moves").
-- Neither is modal: the in-level menu opens only while no modal window is on
-- top, and these stay on screen under every window.

IngameInterface = {
    id = "IngameInterface", class = "UIWidget", position = {0, 0}, modal = 0,
    childs = {
        { id = "btnMenu", class = "UIButton", instance = "#pill_button_ui:PillButton", position = {0, 0}, text = "Menu" },
    },
    events = {
        { element = "btnMenu", slot = "clicked", command = "showIngameMenu" },
    },
}

LimitHelper = {
    id = "LimitHelper", class = "UIWidget", position = {0, 0}, modal = 0,
    childs = {
        { id = "scene", class = "UISceneNode", scene = "limit_panel_scene_xml" },
    },
    -- Every loaded widget starts in its hide state (transparent); showing
    -- needs an idle state that brings the panel back.
    states = {
        { id = "onIdle", propertyChanges = {
            { target = "LimitHelper", property = "transparency", duration = 0.2, value = 1 },
            { target = "scene", property = "transparency", duration = 0.2, value = 1 },
        } },
    },
}
