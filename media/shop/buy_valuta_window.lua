-- The currency shop: the offer list over the panel and a round close
-- button on the panel's corner.
BuyValutaWindow = {
    id = "BuyValutaWindow", class = "UIWidget", position = {420, 100}, modal = 1,
    childs = {
        { id = "gui", class = "UISceneNode", scene = "buy_valuta_window_scene_xml" },
        { id = "list", class = "UISceneList", position = {24, 64}, scene = "shop_list_scene_xml", type = "strip" },
        { id = "btnClose", class = "UIButton", position = {384, 10}, size = {48, 48}, fontPreset = "ui_presets_lua:ui_button", text = "",
          childs = { { id = "btnCloseFace", class = "UISprite", imagename = "shop_sprites_lua", tablename = "shop_close" } },
          states = {
              { id = "onIdle", propertyChanges = { { target = "btnCloseFace", property = "transparency", duration = 0.08, value = 1 } } },
              { id = "onSelect", propertyChanges = { { target = "btnCloseFace", property = "transparency", duration = 0.08, value = 0.85 } } },
              { id = "onPress", propertyChanges = { { target = "btnCloseFace", property = "transparency", duration = 0.08, value = 0.7 } } },
          } },
    },
    states = {
        { id = "onIdle", propertyChanges = {
            { target = "BuyValutaWindow", property = "transparency", duration = 0.1, value = 1 },
            { target = "gui", property = "transparency", duration = 0.1, value = 1 },
            { target = "list", property = "transparency", duration = 0.1, value = 1 },
        } },
    },
}
