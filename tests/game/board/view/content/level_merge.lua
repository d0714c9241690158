-- The drawing tests' 9x9 level where swapping (3,7) down with (3,8) makes a
-- red row of four on row 8: the chips merge into a horizontal wave at (3,8).
local layout = {
    "R G B M Y O R G B",
    "G B M Y O R G B R",
    "B M Y O R G B M Y",
    "Y O R B G M Y R O",
    "O R G B M Y O B R",
    "R G B M Y O R G B",
    "G B M R O Y G B M",
    "B R R O R G B M Y",
    "M Y O R G B M Y O",
}
local names = { R = "Simple_R", G = "Simple_G", B = "Simple_B", M = "Simple_M", Y = "Simple_Y", O = "Simple_O" }
GameField = {
    Grid = { Cells = {} },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_M", "Simple_Y", "Simple_O" },
    Chips = {},
}
for row, line in ipairs(layout) do
    local column = 0
    for token in line:gmatch("%S+") do
        table.insert(GameField.Chips, { Type = names[token], PosX = column, PosY = row })
        column = column + 1
    end
end
