-- The board-modifier tests' levels, in one part.
local files = { "m_ice", "m_ice_timed", "m_knock", "m_gen", "m_gen_hit", "m_up", "m_bombs", "m_bombs_few", "m_thaw" }
local levels = {}
for _, file in ipairs(files) do table.insert(levels, { file = file, title = file }) end
episodes = { { mapScene = "map_episode_1_xml", parts = { { openMarker = "open_part_1", levels = levels } } } }
