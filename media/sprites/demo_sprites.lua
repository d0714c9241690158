-- Demonstration sprites over the generated pictures: turned, clipped and
-- mirrored, mesh-deformed, and animated. "demo_sxml" holds the same set in XML.

s_demo_badge = {
    Image0 = "demo_badge_png",
    Pos = {12, 12},
    Angle = 30,
}

s_demo_banner = {
    Image0 = "demo_banner_png",
    Pos = {4, 70},
    MirrorH = 1,
    ClipRect = {16, 0, 112, 96},
}

s_demo_flag = {
    Image0 = "demo_banner_png",
    SrcRect0 = {0, 0, 64, 32},
    Pos = {72, 8},
    Size = {48, 32},
    Mesh = {
        sizeX = 2,
        sizeY = 1,
        Vertecies = {
            { x = 1, y = 0, Pos = {24, 6}, Color = {255, 255, 255, 255} },
            { x = 2, y = 0, Pos = {48, -4}, Color = {255, 255, 255, 255} },
            { x = 1, y = 1, Pos = {24, 38}, Color = {255, 160, 160, 255} },
        },
    },
}

s_demo_pulse = {
    Image0 = "demo_badge_png",
    SrcRect0 = {0, 0, 32, 32},
    Pos = {80, 56},
    Animation = {
        loop = 1,
        Frames = {
            { duration = 0.5, pos = {80, 56}, angle = 0, scale = {1, 1},
              color = {255, 255, 255, 255}, SrcRect0 = {0, 0, 32, 32} },
            { duration = 0.5, pos = {88, 60}, angle = 45, scale = {0.75, 0.75},
              color = {255, 128, 128, 255}, SrcRect0 = {32, 32, 64, 64} },
        },
    },
}
