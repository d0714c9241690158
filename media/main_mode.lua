-- The main mode's episodes: each with its map scene and parts, each part with
-- its levels (level script stem, background and field scenes, the title shown
-- on its map stone, and the cutscene played after its first win).
episodes = {
    {
        mapScene = "map_episode_1_xml",
        parts = {
            {
                openMarker = "open_part_1",
                levels = {
                    { file = "meadow_1", back1 = "level_back_meadow_xml", back2 = "level_field_xml", title = "1" },
                    { file = "meadow_2", title = "2" },
                    { file = "meadow_3", title = "3", movieScene = "cutscene_part_1_xml" },
                },
            },
            {
                openMarker = "open_part_2",
                levels = {
                    { file = "meadow_4", back1 = "level_back_lake_xml", back2 = "level_field_xml", title = "4" },
                    { file = "meadow_5", title = "5" },
                    { file = "meadow_6", title = "6" },
                    { file = "meadow_7", title = "7" },
                    { file = "meadow_8", title = "8" },
                    { file = "meadow_9", title = "9" },
                    { file = "meadow_10", title = "10" },
                },
            },
        },
    },
    {
        mapScene = "map_episode_2_xml",
        parts = {
            {
                openMarker = "open_part_3",
                levels = {
                    { file = "glade_1", back1 = "level_back_meadow_xml", back2 = "level_field_xml", title = "7" },
                    { file = "glade_2", title = "8" },
                },
            },
        },
    },
}
