-- A 9 x 7 board for the board-modifier tests.
Parameters = {
    gridWidth = 9,
    gridHeight = 7,
    cellSize = "40",
    hintPeriod = 5,
}
