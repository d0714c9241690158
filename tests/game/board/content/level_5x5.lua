-- Random colours everywhere but a hole, a wall and a two-layer tile.
GameField = {
    Grid = { Cells = { { PosX = 0, PosY = 1, Solidity = 0 }, { PosX = 4, PosY = 5, Solidity = 3 } } },
    AvailableChips = { "Simple_R", "Simple_G", "Simple_B" },
    Chips = {},
}
for row = 1, 5 do
    for column = 0, 4 do
        if not (column == 0 and row == 1) then
            local kind = "Random"
            if column == 2 and row == 1 then kind = "Wall" end
            table.insert(GameField.Chips, { Type = kind, PosX = column, PosY = row })
        end
    end
end
