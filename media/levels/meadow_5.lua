-- Meadow, level 5.
GameField = {
    Grid = { Cells = {} },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_Y", "Simple_M" },
    LevelLimit = 26,
    LevelLimitType = 0,
    LevelGoals = { 4, 0 },
    stars = { 3500, 7000, 10500 },
}
