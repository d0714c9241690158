-- The game shell: platform configuration, start-up logos, cursor, screen borders, the main menu's backdrop.
name = "default"
filelist = {
    { name = "platform_config_lua", filename = "/platform_config.lua" },
    { name = "logo_xml", filename = "/logo/logo.xml" },
    { name = "logo_studio_png", filename = "/images/logo_studio.png" },
    { name = "logo_title_png", filename = "/images/logo_title.png" },
    { name = "menu_backdrop_png", filename = "/images/menu_backdrop.png" },
    { name = "title_text_png", filename = "/images/title_text.png" },
    { name = "cursor_png", filename = "/images/cursor.png" },
    { name = "screen_border_png", filename = "/images/screen_border.png" },
    { name = "other_sprites", filename = "/sprites/other_sprites.lua" },
    { name = "screen_borders_sprites", filename = "/sprites/screen_borders_sprites.lua" },
    { name = "main_menu_scene_xml", filename = "/scenes/main_menu_scene.xml" },
}
