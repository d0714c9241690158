-- Glade, level 2: the same clearing in other colours, with fewer moves to
-- spare; the wave along the bottom row still carries it.
local layout = {
    "G G R B Y G B Y B",
    "Y G R B R G B B Y",
    "Y Y B Y R Y R R B",
    "G R G R G B R R G",
    "B R G B Y G Y Y G",
    "B G B R G R B Y Y",
    "G R B Y Y G R R G",
    "R B Y R G Y Y B B",
    "Y Y R G R G B* B Y",
}
-- A letter is a plain chip of that colour; a star makes it a horizontal wave.
local chips = {}
for row = 1, #layout do
    local column = 0
    for token in layout[row]:gmatch("%S+") do
        local colour, wave = token:match("^(%a)(%*?)$")
        local kind = wave == "*" and "WaveHor_" or "Simple_"
        table.insert(chips, { Type = kind .. colour, PosX = column, PosY = row })
        column = column + 1
    end
end

GameField = {
    Grid = { Cells = {} },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_Y" },
    Chips = chips,
    LevelLimit = 10,
    LevelLimitType = 0,
    LevelGoals = { 4, 0 },
    stars = { 900, 1500, 2100 },
}
