-- The tutorial window: the scene (panel, arrow, aura) and the round close
-- button, which the window keeps on the panel's corner. The window's code
-- puts the root at the point the lesson shows.
TutorialWindow = {
    id = "TutorialWindow", class = "UIWidget", position = {0, 0}, modal = 1,
    childs = {
        { id = "gui", class = "UISceneNode", scene = "tutorial_window_scene_xml" },
        { id = "btnClose", class = "UIButton", position = {0, 0}, size = {48, 48}, fontPreset = "ui_presets_lua:ui_button", text = "",
          childs = { { id = "btnCloseFace", class = "UISprite", imagename = "shop_sprites_lua", tablename = "shop_close" } },
          states = {
              { id = "onIdle", propertyChanges = { { target = "btnCloseFace", property = "transparency", duration = 0.08, value = 1 } } },
              { id = "onSelect", propertyChanges = { { target = "btnCloseFace", property = "transparency", duration = 0.08, value = 0.85 } } },
              { id = "onPress", propertyChanges = { { target = "btnCloseFace", property = "transparency", duration = 0.08, value = 0.7 } } },
          } },
    },
    states = {
        { id = "onIdle", propertyChanges = {
            { target = "TutorialWindow", property = "transparency", duration = 0.05, value = 1 },
            { target = "gui", property = "transparency", duration = 0.05, value = 1 },
        } },
    },
}
