-- Glade, level 1: the autumn wood opens gently. Every chip is laid out; the
-- bottom row scores with three swaps and a horizontal wave clears it.
local layout = {
    "B B Y G R B G R G",
    "R B Y G Y B G G R",
    "R R G R Y R Y Y G",
    "B Y B Y B G Y Y B",
    "G Y B G R B R R B",
    "G B G Y B Y G R R",
    "B Y G R R B Y Y B",
    "Y G R Y B R R G G",
    "R R Y B Y B G* G R",
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
    LevelLimit = 14,
    LevelLimitType = 0,
    LevelGoals = { 4, 0 },
    stars = { 800, 1300, 1900 },
}
