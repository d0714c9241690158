-- Meadow, level 4.
GameField = {
    Grid = { Cells = {} },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_Y", "Simple_M" },
    LevelLimit = 24,
    LevelLimitType = 0,
    LevelGoals = { 4, 0 },
    stars = { 3000, 6000, 9000 },
}
