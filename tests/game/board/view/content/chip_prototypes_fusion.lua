-- The drawing tests' chips with the bonus chips that fuse and what they fuse into.
local function colourLayer(name, table, actions, joins)
    return {
        Name = name,
        MultipleColors = 1,
        score = 20,
        CanIterateWithGroup = joins == false and 0 or 1,
        OnDestroyActions = actions,
        OnIdleDrawables = { { "Sprite", "chips_sprites", table, 10 } },
        OnSelectDrawables = { { "Sprite", "chips_sprites", "s_select", 5 }, { "Sprite", "chips_sprites", table, 10 } },
        OnDestroyDrawables = { { "ParticleFX", "chip_destroy_fx", "", 30 } },
        OnDetonateDrawables = { { "AnimSprite", "chips_sprites", "s_detonate", 12, 1 } },
    }
end

ChipPrototypes = {
    { Name = "Simple", DropRate = 1, Behavior = { colourLayer("Simple", "s_chip") } },
    { Name = "Bomb", Behavior = { colourLayer("BombStage1", "s_bomb", { "Boom" }) } },
    { Name = "WaveHor", Behavior = { colourLayer("WaveHor", "s_wave_hor", { "WaveHor" }) } },
    { Name = "SuperWaveDSide", Behavior = { colourLayer("SuperWaveDSide", "s_super_wave_dside", { "SuperCross" }, false) } },
    { Name = "Star", Behavior = { colourLayer("Star", "s_star", { "Star" }, false) } },
}
