-- A falling target one move from the floor, and one more to come after it.
local layout = { "R G B Y R", "G B Y R G", "B Y R G B", "F R G B Y", "R R G R B" }
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
field.LevelLimit = 30
field.LevelGoals = { 3, 0 }
field.TargetChips = 2
field.TargetsInField = 1
field.stars = { 10, 20, 30 }
GameField = field
