-- Sprites the game shell draws itself: the pointer (its tip at the top-left corner).
s_cursor = {
    Image0 = "cursor_png",
    SrcRect0 = {0, 0, 32, 32},
}
