-- A 9x9 board of 64-pixel cells for the drawing tests.
Parameters = {
    gridWidth = 9,
    gridHeight = 9,
    cellSize = 64,
    drawBehaviors = 1,
    cellHotspotPeriod = 5,
    chipHotspotPeriod = 5,
    chipHotspotAnimationSpeed = 1,
    hintPeriod = 5,
}
