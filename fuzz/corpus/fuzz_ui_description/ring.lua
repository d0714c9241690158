t = { id = "w", class = "UIWidget", childs = { { id = "c", class = "UIWidget", instance = "#fuzz_lua:u" } } }
u = { id = "u", class = "UIButton", text = "x", related = { { filename = "fuzz_lua", id = "t" } } }
