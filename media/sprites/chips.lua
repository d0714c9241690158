-- The chips, their specials and their effect frames, drawn by board_art_gen.
-- Coloured tables end in the colour suffix (_R _G _B _M _Y _O).

s_chip_R = {
    Image0 = "chips_png",
    SrcRect0 = {0, 0, 64, 64},
}
s_bomb_R = {
    Image0 = "chips_png",
    SrcRect0 = {64, 0, 128, 64},
}
s_wave_hor_R = {
    Image0 = "chips_png",
    SrcRect0 = {128, 0, 192, 64},
}
s_wave_ver_R = {
    Image0 = "chips_png",
    SrcRect0 = {192, 0, 256, 64},
}
s_wave_dside_R = {
    Image0 = "chips_png",
    SrcRect0 = {256, 0, 320, 64},
}
s_super_bomb_R = {
    Image0 = "chips_png",
    SrcRect0 = {320, 0, 384, 64},
}
s_super_wave_ver_R = {
    Image0 = "chips_png",
    SrcRect0 = {384, 0, 448, 64},
}
s_super_wave_dside_R = {
    Image0 = "chips_png",
    SrcRect0 = {448, 0, 512, 64},
}
s_color_wall_R = {
    Image0 = "chips_png",
    SrcRect0 = {512, 0, 576, 64},
}
s_select_R = {
    Image0 = "chips_png",
    SrcRect0 = {576, 0, 640, 64},
}
s_cross_R = {
    Image0 = "chips_png",
    SrcRect0 = {640, 0, 704, 64},
}
s_super_wave_hor_R = {
    Image0 = "chips_png",
    SrcRect0 = {704, 0, 768, 64},
}
s_star_R = {
    Image0 = "chips_png",
    SrcRect0 = {768, 0, 832, 64},
}
s_chip_G = {
    Image0 = "chips_png",
    SrcRect0 = {0, 64, 64, 128},
}
s_bomb_G = {
    Image0 = "chips_png",
    SrcRect0 = {64, 64, 128, 128},
}
s_wave_hor_G = {
    Image0 = "chips_png",
    SrcRect0 = {128, 64, 192, 128},
}
s_wave_ver_G = {
    Image0 = "chips_png",
    SrcRect0 = {192, 64, 256, 128},
}
s_wave_dside_G = {
    Image0 = "chips_png",
    SrcRect0 = {256, 64, 320, 128},
}
s_super_bomb_G = {
    Image0 = "chips_png",
    SrcRect0 = {320, 64, 384, 128},
}
s_super_wave_ver_G = {
    Image0 = "chips_png",
    SrcRect0 = {384, 64, 448, 128},
}
s_super_wave_dside_G = {
    Image0 = "chips_png",
    SrcRect0 = {448, 64, 512, 128},
}
s_color_wall_G = {
    Image0 = "chips_png",
    SrcRect0 = {512, 64, 576, 128},
}
s_select_G = {
    Image0 = "chips_png",
    SrcRect0 = {576, 64, 640, 128},
}
s_cross_G = {
    Image0 = "chips_png",
    SrcRect0 = {640, 64, 704, 128},
}
s_super_wave_hor_G = {
    Image0 = "chips_png",
    SrcRect0 = {704, 64, 768, 128},
}
s_star_G = {
    Image0 = "chips_png",
    SrcRect0 = {768, 64, 832, 128},
}
s_chip_B = {
    Image0 = "chips_png",
    SrcRect0 = {0, 128, 64, 192},
}
s_bomb_B = {
    Image0 = "chips_png",
    SrcRect0 = {64, 128, 128, 192},
}
s_wave_hor_B = {
    Image0 = "chips_png",
    SrcRect0 = {128, 128, 192, 192},
}
s_wave_ver_B = {
    Image0 = "chips_png",
    SrcRect0 = {192, 128, 256, 192},
}
s_wave_dside_B = {
    Image0 = "chips_png",
    SrcRect0 = {256, 128, 320, 192},
}
s_super_bomb_B = {
    Image0 = "chips_png",
    SrcRect0 = {320, 128, 384, 192},
}
s_super_wave_ver_B = {
    Image0 = "chips_png",
    SrcRect0 = {384, 128, 448, 192},
}
s_super_wave_dside_B = {
    Image0 = "chips_png",
    SrcRect0 = {448, 128, 512, 192},
}
s_color_wall_B = {
    Image0 = "chips_png",
    SrcRect0 = {512, 128, 576, 192},
}
s_select_B = {
    Image0 = "chips_png",
    SrcRect0 = {576, 128, 640, 192},
}
s_cross_B = {
    Image0 = "chips_png",
    SrcRect0 = {640, 128, 704, 192},
}
s_super_wave_hor_B = {
    Image0 = "chips_png",
    SrcRect0 = {704, 128, 768, 192},
}
s_star_B = {
    Image0 = "chips_png",
    SrcRect0 = {768, 128, 832, 192},
}
s_chip_M = {
    Image0 = "chips_png",
    SrcRect0 = {0, 192, 64, 256},
}
s_bomb_M = {
    Image0 = "chips_png",
    SrcRect0 = {64, 192, 128, 256},
}
s_wave_hor_M = {
    Image0 = "chips_png",
    SrcRect0 = {128, 192, 192, 256},
}
s_wave_ver_M = {
    Image0 = "chips_png",
    SrcRect0 = {192, 192, 256, 256},
}
s_wave_dside_M = {
    Image0 = "chips_png",
    SrcRect0 = {256, 192, 320, 256},
}
s_super_bomb_M = {
    Image0 = "chips_png",
    SrcRect0 = {320, 192, 384, 256},
}
s_super_wave_ver_M = {
    Image0 = "chips_png",
    SrcRect0 = {384, 192, 448, 256},
}
s_super_wave_dside_M = {
    Image0 = "chips_png",
    SrcRect0 = {448, 192, 512, 256},
}
s_color_wall_M = {
    Image0 = "chips_png",
    SrcRect0 = {512, 192, 576, 256},
}
s_select_M = {
    Image0 = "chips_png",
    SrcRect0 = {576, 192, 640, 256},
}
s_cross_M = {
    Image0 = "chips_png",
    SrcRect0 = {640, 192, 704, 256},
}
s_super_wave_hor_M = {
    Image0 = "chips_png",
    SrcRect0 = {704, 192, 768, 256},
}
s_star_M = {
    Image0 = "chips_png",
    SrcRect0 = {768, 192, 832, 256},
}
s_chip_Y = {
    Image0 = "chips_png",
    SrcRect0 = {0, 256, 64, 320},
}
s_bomb_Y = {
    Image0 = "chips_png",
    SrcRect0 = {64, 256, 128, 320},
}
s_wave_hor_Y = {
    Image0 = "chips_png",
    SrcRect0 = {128, 256, 192, 320},
}
s_wave_ver_Y = {
    Image0 = "chips_png",
    SrcRect0 = {192, 256, 256, 320},
}
s_wave_dside_Y = {
    Image0 = "chips_png",
    SrcRect0 = {256, 256, 320, 320},
}
s_super_bomb_Y = {
    Image0 = "chips_png",
    SrcRect0 = {320, 256, 384, 320},
}
s_super_wave_ver_Y = {
    Image0 = "chips_png",
    SrcRect0 = {384, 256, 448, 320},
}
s_super_wave_dside_Y = {
    Image0 = "chips_png",
    SrcRect0 = {448, 256, 512, 320},
}
s_color_wall_Y = {
    Image0 = "chips_png",
    SrcRect0 = {512, 256, 576, 320},
}
s_select_Y = {
    Image0 = "chips_png",
    SrcRect0 = {576, 256, 640, 320},
}
s_cross_Y = {
    Image0 = "chips_png",
    SrcRect0 = {640, 256, 704, 320},
}
s_super_wave_hor_Y = {
    Image0 = "chips_png",
    SrcRect0 = {704, 256, 768, 320},
}
s_star_Y = {
    Image0 = "chips_png",
    SrcRect0 = {768, 256, 832, 320},
}
s_chip_O = {
    Image0 = "chips_png",
    SrcRect0 = {0, 320, 64, 384},
}
s_bomb_O = {
    Image0 = "chips_png",
    SrcRect0 = {64, 320, 128, 384},
}
s_wave_hor_O = {
    Image0 = "chips_png",
    SrcRect0 = {128, 320, 192, 384},
}
s_wave_ver_O = {
    Image0 = "chips_png",
    SrcRect0 = {192, 320, 256, 384},
}
s_wave_dside_O = {
    Image0 = "chips_png",
    SrcRect0 = {256, 320, 320, 384},
}
s_super_bomb_O = {
    Image0 = "chips_png",
    SrcRect0 = {320, 320, 384, 384},
}
s_super_wave_ver_O = {
    Image0 = "chips_png",
    SrcRect0 = {384, 320, 448, 384},
}
s_super_wave_dside_O = {
    Image0 = "chips_png",
    SrcRect0 = {448, 320, 512, 384},
}
s_color_wall_O = {
    Image0 = "chips_png",
    SrcRect0 = {512, 320, 576, 384},
}
s_select_O = {
    Image0 = "chips_png",
    SrcRect0 = {576, 320, 640, 384},
}
s_cross_O = {
    Image0 = "chips_png",
    SrcRect0 = {640, 320, 704, 384},
}
s_super_wave_hor_O = {
    Image0 = "chips_png",
    SrcRect0 = {704, 320, 768, 384},
}
s_star_O = {
    Image0 = "chips_png",
    SrcRect0 = {768, 320, 832, 384},
}
s_super_bomb = {
    Image0 = "chips_png",
    SrcRect0 = {832, 0, 896, 64},
}
s_super_wave_ver = {
    Image0 = "chips_png",
    SrcRect0 = {832, 64, 896, 128},
}
s_super_wave_dside = {
    Image0 = "chips_png",
    SrcRect0 = {832, 128, 896, 192},
}
s_super_wave_hor = {
    Image0 = "chips_png",
    SrcRect0 = {832, 192, 896, 256},
}
s_color_destroyer = {
    Image0 = "chips_png",
    SrcRect0 = {0, 384, 64, 448},
}
s_star = {
    Image0 = "chips_png",
    SrcRect0 = {64, 384, 128, 448},
}
s_wall_1 = {
    Image0 = "chips_png",
    SrcRect0 = {128, 384, 192, 448},
}
s_wall_2 = {
    Image0 = "chips_png",
    SrcRect0 = {192, 384, 256, 448},
}
s_wall_3 = {
    Image0 = "chips_png",
    SrcRect0 = {256, 384, 320, 448},
}
s_strong_wall_1 = {
    Image0 = "chips_png",
    SrcRect0 = {320, 384, 384, 448},
}
s_strong_wall_2 = {
    Image0 = "chips_png",
    SrcRect0 = {384, 384, 448, 448},
}
s_strong_wall_3 = {
    Image0 = "chips_png",
    SrcRect0 = {448, 384, 512, 448},
}
s_chain = {
    Image0 = "chips_png",
    SrcRect0 = {512, 384, 576, 448},
}
s_ice_1 = {
    Image0 = "chips_png",
    SrcRect0 = {576, 384, 640, 448},
}
s_ice_2 = {
    Image0 = "chips_png",
    SrcRect0 = {640, 384, 704, 448},
}
s_ice_3 = {
    Image0 = "chips_png",
    SrcRect0 = {704, 384, 768, 448},
}
s_falling_goal = {
    Image0 = "chips_png",
    SrcRect0 = {768, 384, 832, 448},
}
s_generator = {
    Image0 = "chips_png",
    SrcRect0 = {832, 384, 896, 448},
}
s_stuff = {
    Image0 = "chips_png",
    SrcRect0 = {896, 384, 960, 448},
}
s_hotspot = {
    Image0 = "chips_png",
    SrcRect0 = {960, 384, 1024, 448},
}
s_ice_source = {
    Image0 = "chips_png",
    SrcRect0 = {896, 0, 960, 64},
}
s_chain_bomb = {
    Image0 = "chips_png",
    SrcRect0 = {896, 64, 960, 128},
}
s_chain_stretch = {
    Image0 = "chips_png",
    SrcRect0 = {896, 128, 960, 192},
}
s_chip_up_R = {
    Image0 = "chips_png",
    SrcRect0 = {960, 0, 1024, 64},
}
s_chip_up_G = {
    Image0 = "chips_png",
    SrcRect0 = {960, 64, 1024, 128},
}
s_chip_up_B = {
    Image0 = "chips_png",
    SrcRect0 = {960, 128, 1024, 192},
}
s_chip_up_M = {
    Image0 = "chips_png",
    SrcRect0 = {960, 192, 1024, 256},
}
s_chip_up_Y = {
    Image0 = "chips_png",
    SrcRect0 = {960, 256, 1024, 320},
}
s_chip_up_O = {
    Image0 = "chips_png",
    SrcRect0 = {960, 320, 1024, 384},
}
s_glint = {
    Image0 = "chips_png",
    SrcRect0 = {0, 448, 64, 512},
    Animation = {
        loop = 1,
        Frames = {
            { duration = 0.07, SrcRect0 = {0, 448, 64, 512} },
            { duration = 0.07, SrcRect0 = {64, 448, 128, 512} },
            { duration = 0.07, SrcRect0 = {128, 448, 192, 512} },
            { duration = 0.07, SrcRect0 = {192, 448, 256, 512} },
            { duration = 0.07, SrcRect0 = {256, 448, 320, 512} },
            { duration = 0.07, SrcRect0 = {320, 448, 384, 512} },
            { duration = 0.07, SrcRect0 = {384, 448, 448, 512} },
            { duration = 0.07, SrcRect0 = {448, 448, 512, 512} },
        },
    },
}
s_destroy = {
    Image0 = "chips_png",
    SrcRect0 = {512, 448, 576, 512},
    Animation = {
        loop = 0,
        Frames = {
            { duration = 0.06, SrcRect0 = {512, 448, 576, 512} },
            { duration = 0.06, SrcRect0 = {576, 448, 640, 512} },
            { duration = 0.06, SrcRect0 = {640, 448, 704, 512} },
            { duration = 0.06, SrcRect0 = {704, 448, 768, 512} },
            { duration = 0.06, SrcRect0 = {768, 448, 832, 512} },
            { duration = 0.06, SrcRect0 = {832, 448, 896, 512} },
        },
    },
}
s_detonate = {
    Image0 = "chips_png",
    SrcRect0 = {896, 448, 960, 512},
    Animation = {
        loop = 1,
        Frames = {
            { duration = 0.12, SrcRect0 = {896, 448, 960, 512} },
            { duration = 0.12, SrcRect0 = {960, 448, 1024, 512} },
        },
    },
}
