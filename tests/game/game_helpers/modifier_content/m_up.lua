-- Two rising chips in columns of their own: one under a hole, one under a wall.
local layout = {
    "* * * * * . . . .",
    "* * * * * . . . .",
    "* * * * * . . . W",
    "* * * * * . . . O",
    "* * * * * . M . M",
    "* * * * * . O . O",
    "* * * * * . Um . Um",
}
-- "." a hole, "*" a random chip, a letter a plain chip of that colour; the
-- others name rule chips.
local short = { ["*"] = "Random", I = "Ice", W = "Wall", Q = "ChipGenerator", Um = "ChipUp_M",
                Km = "ChainBomb_M", Ko = "ChainBomb_O", Z2 = "IceChip2_M" }
local data = { Q = { limit = 3, radius = 2 }, Km = { limit = 3, chains = 2 }, Ko = { limit = 3, chains = 2 } }
local field = { Grid = { Cells = {} }, AvailableChips = { "Simple_R", "Simple_G", "Simple_B" }, Chips = {} }

for row = 1, #layout do
    local column = 0
    for token in layout[row]:gmatch("%S+") do
        if token == "." then
            table.insert(field.Grid.Cells, { PosX = column, PosY = row, Solidity = 0 })
        else
            table.insert(field.Chips, { Type = short[token] or ("Simple_" .. token), PosX = column, PosY = row,
                                        data = data[token] })
        end
        column = column + 1
    end
end
field.LevelLimit = field.LevelLimit or 40
field.stars = { 100000, 200000, 300000 }
GameField = field
