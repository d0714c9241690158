-- The level windows and the map's level buttons.
name = "default"
filelist = {
    { name = "level_panel_png", filename = "/level/level_panel.png" },
    { name = "level_card_png", filename = "/level/level_card.png" },
    { name = "level_slot_png", filename = "/level/level_slot.png" },
    { name = "level_goal_well_png", filename = "/level/level_goal_well.png" },
    { name = "level_stars_png", filename = "/level/level_stars.png" },
    { name = "level_small_png", filename = "/level/level_small.png" },
    { name = "level_goals_png", filename = "/level/level_goals.png" },
    { name = "level_button_png", filename = "/level/level_button.png" },
    { name = "level_sprites_lua", filename = "/level/level_sprites.lua" },
    { name = "level_scene_xml", filename = "/level/level_scene.xml" },
    { name = "play_level_window_ui", filename = "/level/level_windows.lua" },
    { name = "win_level_window_ui", filename = "/level/level_windows.lua" },
    { name = "fail_level_window_ui", filename = "/level/level_windows.lua" },
    { name = "play_level_window_scene_xml", filename = "/level/play_level_window_scene.xml" },
    { name = "win_level_window_scene_xml", filename = "/level/win_level_window_scene.xml" },
    { name = "fail_level_window_scene_xml", filename = "/level/fail_level_window_scene.xml" },
}
