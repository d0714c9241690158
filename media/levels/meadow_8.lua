-- Meadow, level 8.
-- Layout: "." a hole, "*" a random chip, W a wall, I an ice source, Q a chip
-- generator (data below), U a rising chip of a colour (U.R ...), K a chain
-- bomb of a colour (K.R ...; data below).
local layout = {
    ". * * * * * * * .",
    "* * * * * * * * *",
    "* * * * * * * * *",
    "* * * * Q * * * *",
    "* * * * * * * * *",
    "* * * * * * * * *",
    "* * * * * * * * *",
    "* * * * * * * * *",
    "U.R * * U.B * U.Y * * U.G",
}
local short = { W = "Wall", I = "Ice", Q = "ChipGenerator", ["*"] = "Random" }
local data = {}
local field = { Grid = { Cells = {} }, AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_Y", "Simple_M" }, Chips = {} }
-- A generator in the middle (every 4 moves, within 2 cells) and four rising
-- chips to match on their way up.
data.Q = { limit = 4, radius = 2 }
field.LevelLimit = 20
field.LevelLimitType = 0
field.LevelGoals = { 6, 0 }
field.stars = { 1500, 3500, 6000 }
for row = 1, #layout do
    local column = 0
    for token in layout[row]:gmatch("%S+") do
        local kind, colour = token:match("^([^.]+)%.?(%a?)$")
        if token == "." then
            table.insert(field.Grid.Cells, { PosX = column, PosY = row, Solidity = 0 })
        else
            local name = short[kind]
            if kind == "U" then name = "ChipUp_" .. colour end
            if kind == "K" then name = "ChainBomb_" .. colour end
            table.insert(field.Chips, { Type = name or ("Simple_" .. kind), PosX = column, PosY = row, data = data[kind] })
        end
        column = column + 1
    end
end
GameField = field
