-- An options-style window that uses every key of the basic widget classes.
-- Loaded by the description tests over small test pictures ("test_sprites_lua",
-- "win_xml", "other_lua").
options = {
    id = "options", class = "UIWidget", position = {20, 10}, modal = 0, hideStateDuration = 0.5,
    hotkey = 300, tabOrder = "4", defaultChildTabOrder = 2, tabNavigation = 1, processMessageReturnValue = 3,
    notSelecting = 0, hideWidgetOnOutsideClick = 1, enableCustomContentRect = 1,
    customContentRect = {0, 0, 360, 240}, initialState = "onIdle",
    related = { { filename = "other_lua", id = "other" }, { filename = "", id = "skipped" } },
    components = { { class = "NoSuchComponent" } },
    childs = {
        { id = "gui", class = "UISceneNode", scene = "win_xml", package = "default", scale = {1, 1},
          childs = { { id = "inner", class = "UISceneNode", scene = "@parent/window/#button" } } },
        { id = "title", class = "UILabel", text = "Options \233", size = {300, 30}, halign = 1, valign = 2,
          wordWrap = 1, xcoeff = 0.5, ycoeff = 0.25, pixelPrecision = 0, color = {10, 20, 30, 40} },
        { id = "play", class = "UIButton", position = {20, 50}, text = "#PLAY_BUTTON",
          childs = { { id = "face", class = "UISprite", imagename = "test_sprites_lua", tablename = "fill",
                       size = {120, 40} } } },
        { id = "sized", class = "UILabel", sizeof = "play", text = "sized" },
        { id = "back", class = "UIButton", position = {160, 50}, captionOrder = 0, text = "Back",
          childs = { { id = "backFace", class = "UISprite", imagename = "test_sprites_lua", tablename = "fill" } } },
        { id = "help", class = "UIButton", position = {300, 50}, text = "?",
          childs = { { id = "caption", class = "UILabel", size = {32, 32} } } },
        { id = "silent", class = "UIButton", position = {300, 100}, captionOrder = -1, text = "never shown" },
        { id = "music", class = "UICheckBox", position = {20, 110}, thumb = "tick",
          childs = {
              { id = "box", class = "UISprite", imagename = "test_sprites_lua", tablename = "knob", size = {20, 20} },
              { id = "tick", class = "UISprite", imagename = "test_sprites_lua", tablename = "knob",
                size = {20, 20}, scale = {2, 1}, color = {255, 255, 0, 255} },
          } },
        { id = "volume", class = "UIProgressBar", position = {20, 150}, bar = "fill", thumb = "knob",
          lrOffsets = {4, 6}, orientation = 0, kinetic = 1, kineticSpeed = 2, step = 0.1, locked = 0,
          childs = {
              { id = "fill", class = "UISprite", imagename = "test_sprites_lua", tablename = "fill" },
              { id = "knob", class = "UISprite", imagename = "test_sprites_lua", tablename = "knob" },
          } },
        { id = "sparks", class = "UIParticleFX", filename = "particle_burst_fx", position = {200, 200} },
        { id = "locked", class = "UIWidget", enabled = 0,
          states = {
              { id = "onIdle", propertyChanges = { { target = "locked", property = "transparency", value = 1 } } },
              { id = "onDisable", propertyChanges = { { target = "locked", property = "transparency", value = 0.5 } } },
          } },
        { id = "plain", class = "UIWidget" },
    },
    states = {
        { id = "onIdle", propertyChanges = {
            { target = "options", property = "transparency", transition = "linear", duration = 0.25, value = 1 } } },
        { id = "onSelect", propertyChanges = {
            { target = "play", property = "offset", duration = 0.1, value = {0, 2} },
            { target = "nobody", property = "transparency", value = 1 },
            { target = "title", property = "color", duration = 0.1, value = {255, 255, 255, 255} } } },
        { id = "onPress", propertyChanges = {
            { target = "box", property = "scale", duration = 0.1, value = {1.5, 1.5} },
            { target = "title", property = "scale", value = {1, 1} } } },
        { id = "broken", propertyChanges = { { target = "nobody", property = "transparency", value = 1 } } },
        { id = "badprop", propertyChanges = { { target = "options", property = "size", value = 1 } } },
        { propertyChanges = { { target = "options", property = "transparency", value = 1 } } },
        { id = "nochanges" },
    },
    events = {
        { element = "play", slot = "clicked", command = "hide: other" },
        { element = "play", slot = "clicked", command = "record:first,, " },
        { element = "play", slot = "clicked", command = "x" },
        { element = "play", slot = "clicked", command = "unregistered:1" },
        { element = "nobody", slot = "clicked", command = "hide:other" },
        { element = "title", slot = "clicked", command = "hide:other" },
    },
}
