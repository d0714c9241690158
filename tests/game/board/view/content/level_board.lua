-- A 9x9 level: holes, tiles of both strengths, a wall, a chain, ice and a bomb
-- among fixed colours, so every picture is known.
local layout = {
    "R G B M Y O R G B",
    "G B M Y O R G B R",
    "# # B R G Y M O G",
    "Y O R G B M Y R O",
    "O R G B * M Y O R",
    "R G B M Y O W B G",
    "G B M Y O R G C B",
    "B M Y O R G B M I",
    "M Y O R G B M Y O",
}
local names = { R = "Simple_R", G = "Simple_G", B = "Simple_B", M = "Simple_M", Y = "Simple_Y", O = "Simple_O",
                ["*"] = "SimpleBomb_R", W = "Wall", C = "Chain_Y", I = "Iced_G" }
GameField = {
    Grid = { Cells = {} },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_M", "Simple_Y", "Simple_O" },
    Chips = {},
}
for row, line in ipairs(layout) do
    local column = 0
    for token in line:gmatch("%S+") do
        if token == "#" then
            table.insert(GameField.Grid.Cells, { PosX = column, PosY = row, Solidity = 0 })
        else
            table.insert(GameField.Chips, { Type = names[token], PosX = column, PosY = row })
        end
        column = column + 1
    end
end
-- Tiles: one layer down the middle column, two layers in a block at the bottom left.
for row = 4, 8 do table.insert(GameField.Grid.Cells, { PosX = 4, PosY = row, Solidity = 2 }) end
for row = 8, 9 do
    for column = 0, 2 do table.insert(GameField.Grid.Cells, { PosX = column, PosY = row, Solidity = 3 }) end
end
