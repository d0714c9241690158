-- Sounds registered when the chip manager starts. Chip prototypes name their
-- destruction sounds here ("onDestroySound"); the board looks the combo and
-- miss sounds up by name. Other sounds are registered by the code that plays them.
-- group: 0 sound effects, 1 music; looped and flags are numbers (0 or 1).
SoundResources = {
    { filename = "chip_destroy_sound", group = 0, volume = 1.0, looped = 0, priority = 10 },
    { filename = "bonus_line_sound", group = 0, volume = 1.0, looped = 0, priority = 100 },
    { filename = "bonus_bomb_sound", group = 0, volume = 1.0, looped = 0, priority = 100 },
    { filename = "bonus_color_sound", group = 0, volume = 1.0, looped = 0, priority = 100 },
    { filename = "tile_destroy_sound", group = 0, volume = 1.0, looped = 0, priority = 11 },
    { filename = "click_miss_sound", group = 0, volume = 1.0, looped = 0, priority = 0 },
    { filename = "combo3_sound", group = 0, volume = 1.0, looped = 0, priority = 50 },
    { filename = "combo4_sound", group = 0, volume = 1.0, looped = 0, priority = 50 },
    { filename = "combo5_sound", group = 0, volume = 1.0, looped = 0, priority = 50 },
    { filename = "combo6_sound", group = 0, volume = 1.0, looped = 0, priority = 50 },
    { filename = "combo7_sound", group = 0, volume = 1.0, looped = 0, priority = 50 },
    { filename = "combo8_sound", group = 0, volume = 1.0, looped = 0, priority = 50 },
    { filename = "combo9_sound", group = 0, volume = 1.0, looped = 0, priority = 50 },
    { filename = "combo10_sound", group = 0, volume = 1.0, looped = 0, priority = 50 },
    { filename = "combo11_sound", group = 0, volume = 1.0, looped = 0, priority = 50 },
}
