-- The main menu: the backdrop scene with the lake's water and the version,
-- and a column of buttons (the authors button opens the authors window from
-- code). The social button waits for the social layer and stays hidden;
-- the partner link has no button yet.

local function button(id, x, y, text)
    return { id = id, class = "UIButton", instance = "#pill_button_ui:PillButton", position = {x, y}, text = text }
end

MainMenu = {
    id = "MainMenu", class = "UIWidget", position = {0, 0},
    childs = {
        { id = "gui", class = "UISceneNode", scene = "main_menu_scene_xml" },
        button("btnPlay", 552, 352, "Play"),
        button("btnOptions", 552, 428, "Options"),
        button("btnAuthors", 552, 504, "Authors"),
        button("btnExit", 552, 580, "Exit"),
        button("btnFacebook", 1080, 24, "#FACEBOOK_BTN_TEXT_CONNECT"),
    },
    events = {
        { element = "btnPlay", slot = "clicked", command = "activateMode:MainMode" },
        { element = "btnOptions", slot = "clicked", command = "showOptions" },
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
