-- The screen borders beside a workspace narrower than the window.
screen_leftborder = {
    Image0 = "screen_border_png",
    SrcRect0 = {0, 0, 32, 32},
}

screen_topborder = {
    Image0 = "screen_border_png",
    SrcRect0 = {0, 0, 32, 32},
    Angle = 90,
}
