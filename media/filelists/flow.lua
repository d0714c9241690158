-- Game flow: the episode data and its levels, the cutscenes and their pictures.
name = "default"
filelist = {
    { name = "main_mode_lua", filename = "/main_mode.lua" },
    { name = "meadow_1_lua", filename = "/levels/meadow_1.lua" },
    { name = "meadow_2_lua", filename = "/levels/meadow_2.lua" },
    { name = "meadow_3_lua", filename = "/levels/meadow_3.lua" },
    { name = "meadow_4_lua", filename = "/levels/meadow_4.lua" },
    { name = "meadow_5_lua", filename = "/levels/meadow_5.lua" },
    { name = "meadow_6_lua", filename = "/levels/meadow_6.lua" },
    { name = "dialog_1_xml", filename = "/scenes/flow/dialog_1.xml" },
    { name = "cutscene_part_1_xml", filename = "/scenes/flow/cutscene_part_1.xml" },
    { name = "cutscene_intro_1_png", filename = "/images/flow/cutscene_intro_1.png" },
    { name = "cutscene_intro_2_png", filename = "/images/flow/cutscene_intro_2.png" },
    { name = "cutscene_intro_3_png", filename = "/images/flow/cutscene_intro_3.png" },
    { name = "cutscene_part1_end_png", filename = "/images/flow/cutscene_part1_end.png" },
    { name = "cutscene_back_png", filename = "/images/flow/cutscene_back.png" },
    { name = "caption_ribbon_png", filename = "/images/flow/caption_ribbon.png" },
    { name = "main_menu_ui", filename = "/flow_ui/main_menu.lua" },
    { name = "menu_lake_png", filename = "/images/flow/menu_lake.png" },
    { name = "map_lake_png", filename = "/images/flow/map_lake.png" },
    { name = "map_episode_1_png", filename = "/images/flow/map_episode_1.png" },
    { name = "map_episode_1_xml", filename = "/scenes/flow/map_episode_1.xml" },
}
