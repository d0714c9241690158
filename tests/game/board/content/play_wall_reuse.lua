-- The bomb at (1,2) goes off in the run that swapping (3,2) and (3,3) makes and takes the
-- wall at (0,1); while the board is still suspended, the colour bomb at (3,5) swapped with
-- the red wave beside it turns the reds into waves, drawing chips from the pool.
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
    "W B G B R",
    "B SimpleBomb_G G B R",
    "G R B G G",
    "R G R B B",
    "B R G DestroyColor WaveHor_R",
})
