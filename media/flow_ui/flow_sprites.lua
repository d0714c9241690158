-- Sprites of the game flow's interface over the pictures that flow_art_gen writes.
map_plus = { Image0 = "map_plus_png", SrcRect0 = {0, 0, 56, 56} }
map_plus_hover = { Image0 = "map_plus_png", SrcRect0 = {0, 56, 56, 112} }
map_plus_pressed = { Image0 = "map_plus_png", SrcRect0 = {0, 112, 56, 168} }
