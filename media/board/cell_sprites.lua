-- Cell tiles until the board's own art exists: the plain cell and the tiled
-- cells (one and two layers) share the panel picture at growing opacity.
cell_plain = { Image0 = "scene_panel_png", Size = {64, 64}, Color = {255, 255, 255, 96} }
cell_tile1 = { Image0 = "scene_panel_png", Size = {64, 64}, Color = {180, 220, 255, 192} }
cell_tile2 = { Image0 = "scene_panel_png", Size = {64, 64}, Color = {120, 180, 255, 255} }
