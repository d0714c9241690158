-- Meadow, level 3.
GameField = {
    Grid = { Cells = {} },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_Y", "Simple_M" },
    LevelLimit = 22,
    LevelLimitType = 0,
    LevelGoals = { 4, 0 },
    stars = { 2500, 5000, 7500 },
}
