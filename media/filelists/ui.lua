-- The interface's pictures, sprites, text presets and scenes.
name = "default"
filelist = {
    { name = "ui_panel_png", filename = "/ui/ui_panel.png" },
    { name = "ui_button_png", filename = "/ui/ui_button.png" },
    { name = "ui_check_png", filename = "/ui/ui_check.png" },
    { name = "ui_bar_png", filename = "/ui/ui_bar.png" },
    { name = "ui_sprites_lua", filename = "/ui/ui_sprites.lua" },
    { name = "ui_presets_lua", filename = "/ui/ui_presets.lua" },
    { name = "ui_window_scene_xml", filename = "/ui/ui_window_scene.xml" },
}
