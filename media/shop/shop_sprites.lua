-- Buttons of the shop and the small windows.
shop_close = { Image0 = "shop_close_png", SrcRect0 = {0, 0, 48, 48} }
