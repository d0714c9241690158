-- Sprites of the interface over the pictures that ui_image_gen writes.
ui_panel = { Image0 = "ui_panel_png", SrcRect0 = {0, 0, 360, 240} }
ui_button = { Image0 = "ui_button_png", SrcRect0 = {0, 0, 176, 64} }
ui_button_hover = { Image0 = "ui_button_png", SrcRect0 = {0, 64, 176, 128} }
ui_button_pressed = { Image0 = "ui_button_png", SrcRect0 = {0, 128, 176, 192} }
ui_check_box = { Image0 = "ui_check_png", SrcRect0 = {0, 0, 40, 40} }
ui_check_tick = { Image0 = "ui_check_png", SrcRect0 = {40, 0, 80, 40} }
ui_bar_track = { Image0 = "ui_bar_png", SrcRect0 = {0, 0, 240, 24} }
ui_bar_fill = { Image0 = "ui_bar_png", SrcRect0 = {0, 24, 240, 44} }
ui_bar_knob = { Image0 = "ui_bar_png", SrcRect0 = {0, 46, 32, 80} }
-- The passive booster offers and the silver price symbol.
s_bonus_minus_tsvet_pass_window_bonus_aktiv_psd = { Image0 = "passive_icons_png", SrcRect0 = {0, 0, 96, 96} }
s_bonus_plus_step_pass_window_bonus_aktiv_psd = { Image0 = "passive_icons_png", SrcRect0 = {96, 0, 192, 96} }
s_bonus_plus_time_pass_window_bonus_aktiv_psd = { Image0 = "passive_icons_png", SrcRect0 = {192, 0, 288, 96} }
s_bonus_plus_bonus_pass_window_bonus_aktiv_psd = { Image0 = "passive_icons_png", SrcRect0 = {288, 0, 384, 96} }
s_bonus_valuta_silver_ui_p_psd = { Image0 = "valuta_small_png", SrcRect0 = {0, 0, 32, 32} }
-- The passive booster slots of the level start window.
s_bonus_minus_tsvet_ui_p_psd = { Image0 = "passive_icons_png", SrcRect0 = {0, 0, 96, 96} }
s_bonus_plus_step_ui_p_psd = { Image0 = "passive_icons_png", SrcRect0 = {96, 0, 192, 96} }
s_bonus_plus_time_ui_p_psd = { Image0 = "passive_icons_png", SrcRect0 = {192, 0, 288, 96} }
s_bonus_plus_bonus_ui_p_psd = { Image0 = "passive_icons_png", SrcRect0 = {288, 0, 384, 96} }
-- The out-of-moves window's offer: more moves, more time (the level screen's limit icons).
s_plus_5_icon_ui_p_psd = { Image0 = "level_limits_png", SrcRect0 = {0, 0, 64, 64} }
s_plus_5_time_icon_ui_p_psd = { Image0 = "level_limits_png", SrcRect0 = {64, 0, 128, 64} }
