-- Text presets of the interface: white bold titles on the ribbon and on
-- buttons, dark brown body text on panels. Alignment 0 left/top, 1 centre,
-- 2 right/bottom; colours {r, g, b, a}.
ui_title = { font = "font2_fnt", halign = 1, valign = 1, xcoeff = 0.05, ycoeff = 0, wordWrap = 0,
             color = { 255, 255, 255, 255 } }
ui_button = { font = "font2_fnt", halign = 1, valign = 1, xcoeff = 0, ycoeff = 0, wordWrap = 0,
              color = { 255, 255, 255, 255 } }
ui_body = { font = "small_font_fnt", halign = 0, valign = 1, xcoeff = 0, ycoeff = 0.2, wordWrap = 1,
            color = { 74, 52, 32, 255 } }
