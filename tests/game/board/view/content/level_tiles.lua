-- Tiles only, no chips: holes in row 1, under a solid cell and under a hole,
-- and one tile of each strength.
GameField = {
    Grid = { Cells = {
        { PosX = 0, PosY = 1, Solidity = 0 },
        { PosX = 3, PosY = 5, Solidity = 0 },
        { PosX = 3, PosY = 6, Solidity = 0 },
        { PosX = 8, PosY = 9, Solidity = 0 },
        { PosX = 5, PosY = 2, Solidity = 2 },
        { PosX = 6, PosY = 2, Solidity = 3 },
    } },
    AvailableChips = {},
    Chips = {},
}
