-- The bonus-chip tests' levels, in one part.
local files = { "b_five", "b_cross", "b_row4", "b_col4", "b_three", "b_wave4", "b_two", "b_fuse", "b_chain" }
local levels = {}
for _, file in ipairs(files) do table.insert(levels, { file = file, title = file }) end
episodes = { { mapScene = "map_episode_1_xml", parts = { { openMarker = "open_part_1", levels = levels } } } }
