-- A board that cannot be built.
Parameters = { gridWidth = 0, gridHeight = 5 }
