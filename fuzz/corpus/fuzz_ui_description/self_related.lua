t = { id = "w", class = "UIWidget", related = { { filename = "fuzz_lua", id = "t" } } }
