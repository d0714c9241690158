-- Meadow, level 2.
GameField = {
    Grid = { Cells = {} },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_Y" },
    LevelLimit = 20,
    LevelLimitType = 0,
    LevelGoals = { 4, 0 },
    stars = { 2000, 4000, 6000 },
}
