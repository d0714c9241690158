-- The ring that spreads from an iced chip.
s_freezing_ring = {
    Image0 = "freezing_ring_png",
    SrcRect0 = {0, 0, 256, 256},
}
