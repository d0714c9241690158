-- Meadow, level 6.
GameField = {
    Grid = { Cells = {} },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_Y", "Simple_M" },
    LevelLimit = 28,
    LevelLimitType = 0,
    LevelGoals = { 4, 0 },
    stars = { 4000, 8000, 12000 },
}
