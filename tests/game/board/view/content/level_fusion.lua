-- The drawing tests' 9x9 level with a red bomb at (3,4) beside a green
-- horizontal wave at (4,4): swapped, they fuse into a green diagonal super wave.
local layout = {
    "R G B M Y O R G B",
    "G B M Y O R G B R",
    "B M Y O R G B M Y",
    "Y O R * W M Y R O",
    "O R G B M Y O B R",
    "R G B M Y O R G B",
    "G B M Y O R G B M",
    "B M Y O R G B M Y",
    "M Y O R G B M Y O",
}
local names = { R = "Simple_R", G = "Simple_G", B = "Simple_B", M = "Simple_M", Y = "Simple_Y", O = "Simple_O",
                ["*"] = "Bomb_R", W = "WaveHor_G" }
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
