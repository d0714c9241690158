-- Board parameters: grid size in cells (row 0 is the hidden row above the
-- board), cell size in pixels, fall physics, shakes, hint and glint timing.
Parameters = {
    gridWidth = 9,
    gridHeight = 9,
    cellSize = 64,
    chipInitialMovingSpeed = 7.5,
    estimateSuspendTime = 0,
    chipAcceleration = 20,
    drawBehaviors = 1,
    maxChipOffset = 0.5,
    chipHotspotPeriod = 5,
    chipHotspotAnimationSpeed = 1,
    cellHotspotPeriod = 5,
    progressbarFlaskHeight = 440,
    hintPeriod = 5,
    chipHotspotDelayCoeff = 1,
    comboTimerAttenuation = 1,
    comboTimerInitialValue = 1,
    fallShaking = 0.08,
    fallShakingTime = 0.15,
    boomShakePower = 0.75,
    boomShakeTime = 0.6,
}
