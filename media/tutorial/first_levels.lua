-- The first levels: the swap, the goals and the moves on Meadow 1, tiles and
-- the time limit on Meadow 3.
lessons = {
    { class = "DestroyChipLesson", data = {
        level = "meadow_1_lua", text = "TUTORIAL_SWAP",
        chips = { {2, 8}, {2, 9} },
        hor = "180", ver = "270",
        maskFile = "tutorial_sprites_lua", maskTable = "mask_cells_v",
        padding = {6, 6}, offset = {-24, -24},
    } },
    { class = "InfoLesson", data = {
        level = "meadow_1_lua", text = "TUTORIAL_GOALS",
        targetH = {356, 136}, targetV = {190, 236},
        hor = "0", ver = "90",
        maskFile = "tutorial_sprites_lua", maskTable = "mask_goals",
        horMaskOffset = {-320, -116}, verMaskOffset = {-174, -206},
    } },
    { class = "InfoLesson", data = {
        level = "meadow_1_lua", text = "TUTORIAL_MOVES",
        targetH = {316, 357}, targetV = {570, 236},
        hor = "0", ver = "90",
        maskFile = "tutorial_sprites_lua", maskTable = "mask_moves",
        horMaskOffset = {-240, -117}, verMaskOffset = {-134, -206},
    } },
    { class = "MultiLesson", data = {
        { class = "InfoLesson", data = {
            level = "meadow_3_lua", text = "TUTORIAL_TILES",
            targetH = {356, 136}, targetV = {190, 236},
            hor = "0", ver = "90",
            maskFile = "tutorial_sprites_lua", maskTable = "mask_goals",
            horMaskOffset = {-320, -116}, verMaskOffset = {-174, -206},
        } },
        { class = "InfoLesson", data = {
            level = "meadow_3_lua", text = "TUTORIAL_TIME",
            targetH = {316, 357}, targetV = {570, 236},
            hor = "0", ver = "90",
            maskFile = "tutorial_sprites_lua", maskTable = "mask_moves",
            horMaskOffset = {-240, -117}, verMaskOffset = {-134, -206},
        } },
    } },
}
