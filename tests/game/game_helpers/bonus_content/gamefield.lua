-- A 5x5 board for the simulator tests.
Parameters = {
    gridWidth = 5,
    gridHeight = 5,
    cellSize = "40",
    hintPeriod = 5,
}
