-- The board's tiles, shadows and the glint over tiles of two layers, drawn by board_art_gen.

s_cell_a = {
    Image0 = "board_tiles_png",
    SrcRect0 = {0, 0, 64, 64},
}
s_cell_b = {
    Image0 = "board_tiles_png",
    SrcRect0 = {64, 0, 128, 64},
}
s_tile_1_a = {
    Image0 = "board_tiles_png",
    SrcRect0 = {128, 0, 192, 64},
}
s_tile_1_b = {
    Image0 = "board_tiles_png",
    SrcRect0 = {192, 0, 256, 64},
}
s_tile_2_a = {
    Image0 = "board_tiles_png",
    SrcRect0 = {256, 0, 320, 64},
}
s_tile_2_b = {
    Image0 = "board_tiles_png",
    SrcRect0 = {320, 0, 384, 64},
}
s_blind_tile = {
    Image0 = "board_tiles_png",
    SrcRect0 = {0, 64, 64, 128},
    Animation = {
        loop = 0,
        Frames = {
            { duration = 0.06, SrcRect0 = {0, 64, 64, 128} },
            { duration = 0.06, SrcRect0 = {64, 64, 128, 128} },
            { duration = 0.06, SrcRect0 = {128, 64, 192, 128} },
            { duration = 0.06, SrcRect0 = {192, 64, 256, 128} },
            { duration = 0.06, SrcRect0 = {256, 64, 320, 128} },
            { duration = 0.06, SrcRect0 = {320, 64, 384, 128} },
            { duration = 0.06, SrcRect0 = {384, 64, 448, 128} },
            { duration = 0.06, SrcRect0 = {448, 64, 512, 128} },
            { duration = 0, SrcRect0 = {448, 64, 512, 128} },
        },
    },
}
s_highlight = {
    Image0 = "board_tiles_png",
    SrcRect0 = {0, 128, 64, 192},
}
s_fly_orb = {
    Image0 = "board_tiles_png",
    SrcRect0 = {64, 128, 128, 192},
}
s_flash = {
    Image0 = "board_tiles_png",
    SrcRect0 = {128, 128, 192, 192},
}
s_merge_ring = {
    Image0 = "board_tiles_png",
    SrcRect0 = {192, 128, 256, 192},
}
s_steps_levels_times_steps_psd = {
    Image0 = "level_limits_png",
    SrcRect0 = {0, 0, 64, 64},
}
s_time_levels_times_steps_psd = {
    Image0 = "level_limits_png",
    SrcRect0 = {64, 0, 128, 64},
}

-- One shadow table per column; neighbouring columns alternate two shapes.
for c = 0, 254 do
    local left = 384 + (c % 2) * 64
    _G[string.format("s_p_%d_shadows_psd", c)] = {
        Image0 = "board_tiles_png",
        SrcRect0 = {left, 0, left + 64, 64},
    }
end
