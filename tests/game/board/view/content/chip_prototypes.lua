-- Chips with their drawables, for the drawing tests.
local function colourLayer(name, table, actions)
    return {
        Name = name,
        MultipleColors = 1,
        score = 20,
        OnDestroyActions = actions,
        OnIdleDrawables = { { "Sprite", "chips_sprites", table, 10 } },
        OnSelectDrawables = { { "Sprite", "chips_sprites", "s_select", 5 }, { "Sprite", "chips_sprites", table, 10 } },
        OnDestroyDrawables = { { "ParticleFX", "chip_destroy_fx", "", 30 } },
        HotspotDrawables = { { "Sprite", "chips_sprites", table, 10 }, { "AnimSprite", "chips_sprites", "s_glint", 11, 1 } },
        OnDetonateDrawables = { { "AnimSprite", "chips_sprites", "s_detonate", 12, 1 } },
    }
end

local function fixedLayer(name, table, flags)
    local layer = { Name = name, MultipleColors = 0, score = 30, CanIterateWithGroup = 0,
                    OnIdleDrawables = { { "Sprite", "chips_sprites", table, 10 } },
                    OnDestroyDrawables = { { "ParticleFX", "wall_destroy_fx", "", 30 } } }
    for key, value in pairs(flags or {}) do layer[key] = value end
    return layer
end

ChipPrototypes = {
    { Name = "Simple", DropRate = 1, Behavior = { colourLayer("Simple", "s_chip") } },
    { Name = "SimpleBomb", Behavior = { colourLayer("BombStage1", "s_bomb", { "Boom" }) } },
    { Name = "WaveHor", Behavior = { colourLayer("WaveHor", "s_wave_hor", { "WaveHor" }) } },
    { Name = "Wall", Behavior = { fixedLayer("Wall", "s_wall_1", { CanFalling = 0, LevelGoal = 1 }) } },
    { Name = "Chain",
      Behavior = { colourLayer("Simple", "s_chip"),
                   fixedLayer("Chain", "s_chain", { CanFalling = 0 }) } },
    { Name = "DestroyColor",
      Behavior = { fixedLayer("DestroyColor", "s_color_destroyer", { OnDestroyActions = { "ColorDestroyer" } }) } },
    { Name = "Iced",
      Behavior = { colourLayer("Simple", "s_chip"),
                   fixedLayer("Ice", "s_ice_2", { CanFalling = 0 }) } },
}
