-- The level-end tests' levels, in one part.
local files = { "h_end4", "h_end0", "h_endtime", "h_endskip", "h_badstars", "h_goals3", "h_stubborn" }
local levels = {}
for _, file in ipairs(files) do table.insert(levels, { file = file, title = file }) end
episodes = { { mapScene = "map_episode_1_xml", parts = { { openMarker = "open_part_1", levels = levels } } } }
