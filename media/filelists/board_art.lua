-- The board's art: pictures and sprite tables made by board_art_gen, the
-- cell sets, the board's particle effects and its scenes.
name = "default"
filelist = {
    { name = "chips_png", filename = "/images/board/chips.png" },
    { name = "board_tiles_png", filename = "/images/board/board_tiles.png" },
    { name = "normalmaps_png", filename = "/images/board/normalmaps.png" },
    { name = "freezing_ring_png", filename = "/images/board/freezing_ring.png" },
    { name = "chips_sprites", filename = "/sprites/chips.lua" },
    { name = "game_field_sprites", filename = "/sprites/game_field.lua" },
    { name = "normalmaps_sprites", filename = "/sprites/normalmaps.lua" },
    { name = "freezing_ring_sprites", filename = "/sprites/freezing_ring.lua" },
    { name = "cells_lua", filename = "/cells.lua" },
    { name = "board_fx_png", filename = "/particles/board/board_fx.png" },
    { name = "board_fx_sxml", filename = "/particles/board/board_fx.xml" },
    { name = "hint_fx", filename = "/particles/board/hint.xml" },
    { name = "wave_hor_fx", filename = "/particles/board/wave_hor.xml" },
    { name = "wave_ver_fx", filename = "/particles/board/wave_ver.xml" },
    { name = "wave_tl_fx", filename = "/particles/board/wave_tl.xml" },
    { name = "wave_tr_fx", filename = "/particles/board/wave_tr.xml" },
    { name = "explosion_orange_tile_fx", filename = "/particles/board/explosion_orange_tile.xml" },
    { name = "chip_destroy_fx", filename = "/particles/board/chip_destroy.xml" },
    { name = "wall_destroy_fx", filename = "/particles/board/wall_destroy.xml" },
    { name = "fly_trail_fx", filename = "/particles/board/fly_trail.xml" },
    { name = "hightlight_xml", filename = "/scenes/board/hightlight.xml" },
    { name = "color_fly_effect_xml", filename = "/scenes/board/color_fly_effect.xml" },
    { name = "merge_scene_xml", filename = "/scenes/board/merge_scene.xml" },
}
