-- Every cell of the widest board holds a chip; tiles in a band across.
GameField = {
    Grid = { Cells = {} },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B", "Simple_M", "Simple_Y", "Simple_O" },
    Chips = {},
}
for row = 1, 15 do
    for column = 0, 20 do
        table.insert(GameField.Chips, { Type = "Random", PosX = column, PosY = row })
        if row >= 6 and row <= 9 then
            table.insert(GameField.Grid.Cells, { PosX = column, PosY = row, Solidity = 2 + row % 2 })
        end
    end
end
