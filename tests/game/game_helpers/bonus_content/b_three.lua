-- A swap across makes a row of three red chips.
local layout = {
    "B G B G B",
    "G B G B G",
    "B G B G B",
    "G B G B G",
    "R R Y R B",
}
local field = { Grid = { Cells = {} }, AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_Y" }, Chips = {} }
for row = 1, #layout do
    local column = 0
    for token in layout[row]:gmatch("%S+") do
        table.insert(field.Chips, { Type = #token == 1 and ("Simple_" .. token) or token, PosX = column, PosY = row })
        column = column + 1
    end
end
field.LevelLimit = 10
field.LevelGoals = { 0, 0 }
field.stars = { 100000, 200000, 300000 }
GameField = field
