-- The script fails halfway: what it defined before is read.
GameField = { Grid = {}, AvailableChips = { "Simple_R", "Simple_G" } }
error("stop here")
GameField.AvailableChips = {}
