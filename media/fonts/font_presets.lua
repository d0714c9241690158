-- Text presets: alignment (0 left/top, 1 centre, 2 right/bottom), spacing
-- coefficients, word wrap (0 or 1), colour {r, g, b, a} and font.
default_text = { font = "small_font_fnt", halign = 0, valign = 0, xcoeff = 0, ycoeff = 0, wordWrap = 1,
                 color = { 255, 255, 255, 255 } }
paragraph_text = { font = "small_font_fnt", halign = 1, valign = 1, xcoeff = 0, ycoeff = 0.4, wordWrap = 1,
                   color = { 255, 244, 214, 255 } }
title_text = { font = "font2_fnt", halign = 1, valign = 1, xcoeff = 0.1, ycoeff = 0, wordWrap = 0,
               color = { 255, 214, 90, 255 } }
button_text = { font = "font2_fnt", halign = 1, valign = 1, xcoeff = 0, ycoeff = 0, wordWrap = 0,
                color = { 255, 255, 255, 255 } }
