-- Sprites of our scenes: "dots" is a four-frame strip the loading scene steps through.
dots = {
    Image0 = "scene_dots_png",
    SrcRect0 = {0, 0, 32, 32},
    Animation = {
        Frames = {
            { duration = 0.25, SrcRect0 = {0, 0, 32, 32} },
            { duration = 0.25, SrcRect0 = {32, 0, 64, 32} },
            { duration = 0.25, SrcRect0 = {64, 0, 96, 32} },
            { duration = 0.25, SrcRect0 = {96, 0, 128, 32} },
        },
    },
}
