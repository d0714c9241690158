-- Names that no prototype has: each is logged and skipped.
GameField = {
    Grid = {},
    AvailableChips = { "Simple_R", "Simple_Q", "Simple_G", "Simple_B" },
    Chips = {
        { Type = "Nothing", PosX = 1, PosY = 1 },
        { Type = "Simple_R", PosX = 2, PosY = 2 },
    },
}
