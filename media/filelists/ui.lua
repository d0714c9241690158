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
    { name = "ui_list_frame_png", filename = "/ui/ui_list_frame.png" },
    { name = "ui_list_well_png", filename = "/ui/ui_list_well.png" },
    { name = "ui_list_row_png", filename = "/ui/ui_list_row.png" },
    { name = "ui_list_star_png", filename = "/ui/ui_list_star.png" },
    { name = "ui_list_button_png", filename = "/ui/ui_list_button.png" },
    { name = "ui_scroll_track_png", filename = "/ui/ui_scroll_track.png" },
    { name = "ui_scroll_thumb_png", filename = "/ui/ui_scroll_thumb.png" },
    { name = "ui_page_dot_png", filename = "/ui/ui_page_dot.png" },
    { name = "ui_arrow_left_png", filename = "/ui/ui_arrow_left.png" },
    { name = "ui_arrow_right_png", filename = "/ui/ui_arrow_right.png" },
    { name = "ui_list_scene_xml", filename = "/ui/ui_list_scene.xml" },
    { name = "ui_list_item_xml", filename = "/ui/ui_list_item.xml" },
    { name = "ui_book_scene_xml", filename = "/ui/ui_book_scene.xml" },
}
