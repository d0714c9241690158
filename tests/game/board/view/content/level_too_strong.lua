-- A tile stronger than any picture set: the load stops with the cell named.
GameField = {
    Grid = { Cells = { { PosX = 3, PosY = 2, Solidity = 4 } } },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B" },
    Chips = {},
}
