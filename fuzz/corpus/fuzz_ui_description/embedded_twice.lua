t = { id = "w", class = "UIWidget", initialState = "onIdle",
      states = { { id = "onIdle", propertyChanges = { { target = "w", property = "transparency", value = 1 } } } },
      related = { { filename = "fuzz_lua", id = "v" } },
      childs = { { id = "a", class = "UIWidget", instance = "#fuzz_lua:u" },
                 { id = "b", class = "UIWidget", instance = "#fuzz_lua:u", position = {30, 0} } } }
u = { id = "u", class = "UITextEdit", maxLength = 2000000000, text = "", childs = { { id = "p", class = "UIProgressBar" } } }
v = { id = "v", class = "UIWidget", instance = "#fuzz_lua:u" }
