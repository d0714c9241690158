-- Currency icons of prices and rewards: silver, gold and stars.
s_Layer_4_panel_valuta_psd = { Image0 = "valuta_small_png", SrcRect0 = {0, 0, 32, 32} }
s_Layer_3_panel_valuta_psd = { Image0 = "valuta_small_png", SrcRect0 = {32, 0, 64, 32} }
s_Layer_5_panel_valuta_psd = { Image0 = "valuta_small_png", SrcRect0 = {64, 0, 96, 32} }
-- Goal icons of the level windows: walls, tiles, falling targets, strong walls, chips to raise.
s_walls_ui_p_psd = { Image0 = "level_goals_png", SrcRect0 = {0, 0, 64, 64} }
s_tiles_ui_p_psd = { Image0 = "level_goals_png", SrcRect0 = {64, 0, 128, 64} }
s_falling_ui_p_psd = { Image0 = "level_goals_png", SrcRect0 = {128, 0, 192, 64} }
s_strong_wall_ui_p_psd = { Image0 = "level_goals_png", SrcRect0 = {192, 0, 256, 64} }
s_chip_up_ui_p_psd = { Image0 = "level_goals_png", SrcRect0 = {256, 0, 320, 64} }
