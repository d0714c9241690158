-- Normal maps of the screen distortion: red and green push the picture, 0.5 is still.
explosion_normalmap = {
    Image0 = "normalmaps_png",
    SrcRect0 = {0, 0, 128, 128},
}
fire_normalmap = {
    Image0 = "normalmaps_png",
    SrcRect0 = {128, 0, 256, 128},
}
