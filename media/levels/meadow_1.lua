-- Meadow, level 1: a first taste. Every chip is laid out, so the board opens
-- without a match; three swaps along the bottom row score, and the
-- horizontal wave in the bottom right corner clears the whole row.
local layout = {
    "G G Y B R G B R B",
    "R G Y B Y G B B R",
    "R R B R Y R Y Y B",
    "G Y G Y G B Y Y G",
    "B Y G B R G R R G",
    "B G B Y G Y B R R",
    "G Y B R R G Y Y G",
    "Y B R Y G R R B B",
    "R R Y G Y G B* B R",
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
    LevelLimit = 12,
    LevelLimitType = 0,
    LevelGoals = { 4, 0 },
    stars = { 900, 1400, 2000 },
}
