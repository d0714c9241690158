-- Meadow, level 5.
-- Layout: "." a hole, "*" a random chip, W a wall, S a strong wall, F a falling
-- acorn; "/n" gives the cell n tile layers.
local layout = {
    "* * * * * * * * *",
    "* * * * * * * * *",
    "* * * * * * * * *",
    "* W * * * * * W *",
    "* W W * * * W W *",
    "* * * * * * * * *",
    ". * * * * * * * .",
    ". . * * * * * . .",
    ". . . * * * . . .",
}
local short = { W = "Wall", S = "StrongWall", F = "FallingLevelGoal", ["*"] = "Random" }
local field = { Grid = { Cells = {} }, AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_Y", "Simple_M" }, Chips = {} }
for row = 1, #layout do
    local column = 0
    for token in layout[row]:gmatch("%S+") do
        local kind, solidity = token:match("^([^/]*)/?(%d*)$")
        if kind == "." then
            table.insert(field.Grid.Cells, { PosX = column, PosY = row, Solidity = 0 })
        else
            if solidity ~= "" then
                table.insert(field.Grid.Cells, { PosX = column, PosY = row, Solidity = tonumber(solidity) })
            end
            table.insert(field.Chips, { Type = short[kind] or ("Simple_" .. kind), PosX = column, PosY = row })
        end
        column = column + 1
    end
end
field.LevelLimit = 26
field.LevelLimitType = 0
field.LevelGoals = { 1, 0 }
field.stars = { 2000, 4000, 6500 }
GameField = field
