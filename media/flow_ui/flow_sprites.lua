-- Sprites of the game flow's interface over the pictures that flow_art_gen writes.
map_plus = { Image0 = "map_plus_png", SrcRect0 = {0, 0, 56, 56} }
map_plus_hover = { Image0 = "map_plus_png", SrcRect0 = {0, 56, 56, 112} }
map_plus_pressed = { Image0 = "map_plus_png", SrcRect0 = {0, 112, 56, 168} }
map_arrow_next = { Image0 = "map_arrows_png", SrcRect0 = {0, 0, 84, 84} }
map_arrow_prev = { Image0 = "map_arrows_png", SrcRect0 = {0, 84, 84, 168} }
map_mail = { Image0 = "map_mail_png", SrcRect0 = {0, 0, 56, 56} }
map_gold_small = { Image0 = "valuta_small_png", SrcRect0 = {32, 0, 64, 32} }
