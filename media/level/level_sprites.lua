-- Sprites of the level windows and the map's level buttons over the pictures that level_art_gen writes.
level_socket = { Image0 = "level_stars_png", SrcRect0 = {0, 0, 80, 80} }
level_star = { Image0 = "level_stars_png", SrcRect0 = {80, 0, 160, 80} }
level_star_small = { Image0 = "level_small_png", SrcRect0 = {0, 0, 40, 40} }
level_star_small_empty = { Image0 = "level_small_png", SrcRect0 = {40, 0, 80, 40} }
level_glint = { Image0 = "level_small_png", SrcRect0 = {80, 0, 120, 40} }
level_tick = { Image0 = "level_small_png", SrcRect0 = {120, 0, 160, 40} }
level_stone_locked = { Image0 = "level_button_png", SrcRect0 = {0, 0, 120, 80} }
level_stone_open = { Image0 = "level_button_png", SrcRect0 = {120, 0, 240, 80} }
level_stone_done = { Image0 = "level_button_png", SrcRect0 = {240, 0, 360, 80} }
level_halo = { Image0 = "level_button_png", SrcRect0 = {360, 0, 480, 80} }
