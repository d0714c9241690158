-- Every cell listed with a fixed chip: no run stands, one move exists.
local layout = {
    "R G B R G",
    "G B R G B",
    "B R G B R",
    "R G B R R",
    "G B R G B",
}
local names = { R = "Simple_R", G = "Simple_G", B = "Simple_B" }
GameField = {
    Grid = { Cells = { { PosX = 2, PosY = 3, Solidity = "2" } } },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B" },
    Chips = {},
}
for row = 1, 5 do
    local column = 0
    for letter in layout[row]:gmatch("%S") do
        table.insert(GameField.Chips, { Type = names[letter], PosX = column, PosY = row })
        column = column + 1
    end
end
GameField.Chips[1] = { Type = "Chain_R", PosX = 0, PosY = 1 }
