t = { id = "w", class = "UIWidget" }
t.childs = { t }
