-- Currency icons of prices and rewards: silver, gold and stars.
s_Layer_4_panel_valuta_psd = { Image0 = "valuta_small_png", SrcRect0 = {0, 0, 32, 32} }
s_Layer_3_panel_valuta_psd = { Image0 = "valuta_small_png", SrcRect0 = {32, 0, 64, 32} }
s_Layer_5_panel_valuta_psd = { Image0 = "valuta_small_png", SrcRect0 = {64, 0, 96, 32} }
