-- The widest board: 21x15 cells of 43 pixels, for the drawing benchmark.
Parameters = {
    gridWidth = 21,
    gridHeight = 15,
    cellSize = 43,
    drawBehaviors = 1,
    cellHotspotPeriod = 5,
    chipHotspotPeriod = 5,
    chipHotspotAnimationSpeed = 1,
    hintPeriod = 5,
}
