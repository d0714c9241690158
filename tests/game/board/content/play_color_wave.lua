-- The colour bomb at (2,5) swapped with the red wave chip beside it: the red chips turn
-- into waves one by one, then go off.
local function build(layout, colours)
    local field = { Grid = { Cells = {} }, AvailableChips = {}, Chips = {} }
    for letter in (colours or "RGB"):gmatch(".") do table.insert(field.AvailableChips, "Simple_" .. letter) end
    local short = { W = "Wall", S = "StrongWall", X = "StuffChip" }
    for row = 1, #layout do
        local column = 0
        for token in layout[row]:gmatch("%S+") do
            local kind, solidity = token:match("^([^/]*)/?(%d*)$")
            if solidity ~= "" then
                table.insert(field.Grid.Cells, { PosX = column, PosY = row, Solidity = tonumber(solidity) })
            end
            if kind == "#" then
                table.insert(field.Grid.Cells, { PosX = column, PosY = row, Solidity = 0 })
            elseif kind ~= "." then
                local name = short[kind] or (#kind == 1 and ("Simple_" .. kind)) or kind
                table.insert(field.Chips, { Type = name, PosX = column, PosY = row })
            end
            column = column + 1
        end
    end
    return field
end

GameField = build({
    "R G B G B",
    "G B G B R",
    "B G B G B",
    "G B G B G",
    "B G DestroyColor WaveHor_R B",
})
