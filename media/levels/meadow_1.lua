-- Meadow, level 1.
GameField = {
    Grid = { Cells = {} },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_Y" },
    LevelLimit = 18,
    LevelLimitType = 0,
    LevelGoals = { 4, 0 },
    stars = { 1500, 3000, 4500 },
}
