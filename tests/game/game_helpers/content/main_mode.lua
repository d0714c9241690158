-- The rule tests' levels, in one part (ids 0, 1, ... in this order).
local files = { "h_score", "h_walls", "h_tiles", "h_pair", "h_falling", "h_fail", "h_time",
                "h_string", "h_nolimit", "h_unknown", "h_strong", "h_extra", "h_landing" }
local levels = {}
for _, file in ipairs(files) do table.insert(levels, { file = file, title = file }) end
episodes = { { mapScene = "map_episode_1_xml", parts = { { openMarker = "open_part_1", levels = levels } } } }
