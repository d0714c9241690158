t = { id = "w", class = "UIWidget", instance = "#fuzz_lua:t", initialState = "onIdle" }
