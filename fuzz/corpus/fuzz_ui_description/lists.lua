t = { id = "w", class = "UIWidget", initialState = "onIdle",
      states = { { id = "onIdle", propertyChanges = { { target = "w", property = "transparency", value = 1 } } } },
      childs = {
        { id = "name", class = "UITextEdit", maxLength = 4, filterSpecialCharacters = 1, text = "ab", position = {20, 20} },
        { id = "lv", class = "UIListView", lineHeight = 20, size = {50, 40}, progressBar = "pb", selectionImagename = "sprites_lua", selectionTablename = "a",
          childs = { { id = "childScrollArea", class = "UIScrollArea", childs = { { id = "l1", class = "UILabel", size = {50, 20} }, { id = "l2", class = "UILabel", position = {0, 20}, size = {50, 20} } } } } },
        { id = "pb", class = "UIProgressBar", orientation = 1 },
        { id = "sa", class = "UIScrollArea", progressBar = "pb", size = {10, 10}, orientation = "hor", kinetic = 1 },
        { id = "sl", class = "UISceneList", scene = "none_xml", type = "book", scrolling = 3, orient = "hor", items = { { scene = "none_xml", id = "i" }, { scene = "/x", id = "j" } } },
      },
}
