-- Sprites of the tutorial window and its blackout masks (tutorial_image_gen).
tutorial_panel = { Image0 = "tutorial_panel_png", SrcRect0 = {0, 0, 400, 150} }
tutorial_arrow = { Image0 = "tutorial_arrow_png", SrcRect0 = {0, 0, 56, 72} }
tutorial_aura = { Image0 = "tutorial_aura_png", SrcRect0 = {0, 0, 440, 190} }
-- Masks: each hole starts 24 px inside its picture.
mask_cells_v = { Image0 = "tutorial_mask_cells_v_png", SrcRect0 = {0, 0, 124, 188} }
mask_cells_h = { Image0 = "tutorial_mask_cells_h_png", SrcRect0 = {0, 0, 188, 124} }
mask_goals = { Image0 = "tutorial_mask_goals_png", SrcRect0 = {0, 0, 348, 234} }
mask_moves = { Image0 = "tutorial_mask_moves_png", SrcRect0 = {0, 0, 268, 234} }
mask_round = { Image0 = "tutorial_mask_round_png", SrcRect0 = {0, 0, 158, 158} }
