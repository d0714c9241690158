-- A wall to clear beside a swap that makes a run: the level's only move.
local layout = { "R G B Y R", "G B Y R G", "B Y R G B", "W R G B Y", "R R G R B" }
local field = { Grid = { Cells = {} }, AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_Y" }, Chips = {} }
local short = { W = "Wall", S = "StrongWall", F = "FallingLevelGoal" }
for row = 1, #layout do
    local column = 0
    for token in layout[row]:gmatch("%S+") do
        local kind, solidity = token:match("^([^/]*)/?(%d*)$")
        if solidity ~= "" then
            table.insert(field.Grid.Cells, { PosX = column, PosY = row, Solidity = tonumber(solidity) })
        end
        if kind ~= "." then
            table.insert(field.Chips, { Type = short[kind] or ("Simple_" .. kind), PosX = column, PosY = row })
        end
        column = column + 1
    end
end
field.LevelLimit = 1
field.LevelGoals = { 1, 0 }
field.stars = { 10, 20, 30 }
GameField = field
