-- Offer pictures of the currency shop: piles of 1 to 6 stars, silver and gold coins.
s_star_valuta_sale_1 = { Image0 = "valuta_sale_png", SrcRect0 = {0, 0, 64, 64} }
s_star_valuta_sale_2 = { Image0 = "valuta_sale_png", SrcRect0 = {64, 0, 128, 64} }
s_star_valuta_sale_3 = { Image0 = "valuta_sale_png", SrcRect0 = {128, 0, 192, 64} }
s_star_valuta_sale_4 = { Image0 = "valuta_sale_png", SrcRect0 = {192, 0, 256, 64} }
s_star_valuta_sale_5 = { Image0 = "valuta_sale_png", SrcRect0 = {256, 0, 320, 64} }
s_star_valuta_sale_6 = { Image0 = "valuta_sale_png", SrcRect0 = {320, 0, 384, 64} }
s_silver_valuta_sale_1 = { Image0 = "valuta_sale_png", SrcRect0 = {0, 64, 64, 128} }
s_silver_valuta_sale_2 = { Image0 = "valuta_sale_png", SrcRect0 = {64, 64, 128, 128} }
s_silver_valuta_sale_3 = { Image0 = "valuta_sale_png", SrcRect0 = {128, 64, 192, 128} }
s_silver_valuta_sale_4 = { Image0 = "valuta_sale_png", SrcRect0 = {192, 64, 256, 128} }
s_silver_valuta_sale_5 = { Image0 = "valuta_sale_png", SrcRect0 = {256, 64, 320, 128} }
s_silver_valuta_sale_6 = { Image0 = "valuta_sale_png", SrcRect0 = {320, 64, 384, 128} }
s_gold_valuta_sale_1 = { Image0 = "valuta_sale_png", SrcRect0 = {0, 128, 64, 192} }
s_gold_valuta_sale_2 = { Image0 = "valuta_sale_png", SrcRect0 = {64, 128, 128, 192} }
s_gold_valuta_sale_3 = { Image0 = "valuta_sale_png", SrcRect0 = {128, 128, 192, 192} }
s_gold_valuta_sale_4 = { Image0 = "valuta_sale_png", SrcRect0 = {192, 128, 256, 192} }
s_gold_valuta_sale_5 = { Image0 = "valuta_sale_png", SrcRect0 = {256, 128, 320, 192} }
s_gold_valuta_sale_6 = { Image0 = "valuta_sale_png", SrcRect0 = {320, 128, 384, 192} }
-- The gifts of the social requests: a life and extra moves.
s_present_heart_window_pochta_psd = { Image0 = "social_present_png", SrcRect0 = {0, 0, 64, 64} }
s_present_steps_window_pochta_psd = { Image0 = "social_present_png", SrcRect0 = {64, 0, 128, 64} }
