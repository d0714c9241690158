-- Chip prototypes: every chip is a stack of behaviour layers, inner first.
-- A prototype whose first layer has MultipleColors = 1 expands into six
-- colours (_R _G _B _M _Y _O). Flags are numbers: 0 false, 1 true.
-- Layers that never join colour runs set CanIterateWithGroup = 0.
-- Drawables are { type, file, table, layer, no-suffix }: a coloured layer's
-- table names get the colour suffix; outer layers draw above the chip.

-- The pictures of a layer: its sprite, the selection halo, the pop when it
-- goes, and for bonus chips the passing glint and the glow before they go off.
local function look(layer, picture, depth, bonus, pop)
    layer.OnIdleDrawables = { { "Sprite", "chips_sprites", picture, depth } }
    layer.OnDestroyDrawables = { { "ParticleFX", pop or "chip_destroy_fx", "", 30 } }
    if depth == 10 then
        -- The halo comes in the six colours only; a layer of no colour takes the yellow one.
        local halo = layer.MultipleColors == 1 and "s_select" or "s_select_Y"
        layer.OnSelectDrawables = { { "Sprite", "chips_sprites", halo, 9 },
                                    { "Sprite", "chips_sprites", picture, 10 } }
    end
    if bonus then
        layer.HotspotDrawables = { { "Sprite", "chips_sprites", picture, depth },
                                   { "AnimSprite", "chips_sprites", "s_glint", depth + 1, 1 } }
        layer.OnDetonateDrawables = { { "AnimSprite", "chips_sprites", "s_detonate", depth + 2, 1 } }
    end
    return layer
end

local function colourLayer(name, score, sound, actions, picture, bonus)
    return look({
        Name = name,
        MultipleColors = 1,
        score = score,
        onDestroySound = sound,
        OnDestroyActions = actions,
    }, picture or "s_chip", 10, bonus)
end

-- A fused chip keeps its colour but joins no run: it goes off by itself.
local function fusedLayer(name, sound, actions, picture)
    local layer = colourLayer(name, 150, sound, actions, picture, true)
    layer.CanIterateWithGroup = 0
    return layer
end

local function fixedLayer(name, score, flags, picture, depth, bonus, pop)
    local layer = { Name = name, MultipleColors = 0, score = score, CanIterateWithGroup = 0 }
    for key, value in pairs(flags or {}) do layer[key] = value end
    if picture then look(layer, picture, depth or 10, bonus, pop) end
    return layer
end

local function overLayer(name, picture, depth, flags)
    local layer = { Name = name, MultipleColors = 0, score = 20, CanFalling = 0 }
    for key, value in pairs(flags or {}) do layer[key] = value end
    return look(layer, picture, depth)
end

ChipPrototypes = {
    -- Plain colours: the only chips the refill draws.
    { Name = "Simple", DropRate = 1, GamePoints = 20,
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound") } },

    -- Bonus chips of a colour.
    { Name = "WaveHor", Behavior = { colourLayer("WaveHor", 60, "bonus_line_sound", { "WaveHor" }, "s_wave_hor", true) } },
    { Name = "WaveVer", Behavior = { colourLayer("WaveVer", 60, "bonus_line_sound", { "WaveVer" }, "s_wave_ver", true) } },
    { Name = "SimpleBomb", Behavior = { colourLayer("BombStage1", 80, "bonus_bomb_sound", { "Boom" }, "s_bomb", true) } },
    { Name = "Bomb", Behavior = { colourLayer("BombStage1", 80, "bonus_bomb_sound", { "Boom" }, "s_bomb", true) } },
    { Name = "Cross", Behavior = { colourLayer("Cross", 80, "bonus_line_sound", { "Cross" }, "s_cross", true) } },

    -- Colour destroyer: no colour of its own, swaps with any chip.
    { Name = "DestroyColor",
      Behavior = { fixedLayer("DestroyColor", 100,
                   { onDestroySound = "bonus_color_sound", OnDestroyActions = { "ColorDestroyer" } }, "s_color_destroyer", 10, true) } },

    -- Fused bonus chips: a swap of two bonus chips leaves one in the second chip's colour.
    { Name = "SuperBomb", Behavior = { fusedLayer("SuperBomb", "bonus_bomb_sound", { "SuperBoom" }, "s_super_bomb") } },
    { Name = "SuperWaveVer", Behavior = { fusedLayer("SuperWaveVer", "bonus_line_sound", { "SuperWaveVer" }, "s_super_wave_ver") } },
    { Name = "SuperWaveDSide", Behavior = { fusedLayer("SuperWaveDSide", "bonus_line_sound", { "SuperCross" }, "s_super_wave_dside") } },
    { Name = "Star", Behavior = { fusedLayer("Star", "bonus_line_sound", { "Star" }, "s_star") } },

    -- The same fused chips without a colour.
    { Name = "SuperBomb",
      Behavior = { fixedLayer("SuperBomb", 150, { onDestroySound = "bonus_bomb_sound", OnDestroyActions = { "SuperBoom" } }, "s_super_bomb", 10, true) } },
    { Name = "SuperWaveVer",
      Behavior = { fixedLayer("SuperWaveVer", 150, { onDestroySound = "bonus_line_sound", OnDestroyActions = { "SuperWaveVer" } }, "s_super_wave_ver", 10, true) } },
    { Name = "SuperWaveDSide",
      Behavior = { fixedLayer("SuperWaveDSide", 150, { onDestroySound = "bonus_line_sound", OnDestroyActions = { "SuperCross" } }, "s_super_wave_dside", 10, true) } },
    { Name = "Star",
      Behavior = { fixedLayer("Star", 150, { onDestroySound = "bonus_line_sound", OnDestroyActions = { "Star" } }, "s_star", 10, true) } },

    -- Level goals and rule chips.
    { Name = "FallingLevelGoal",
      Behavior = { fixedLayer("FallingLevelGoal", 200,
                   { LevelGoal = 1, OnIdleActions = { "DestroyIfFloorIsReached" } }, "s_falling_goal") } },
    { Name = "StuffChip", Behavior = { fixedLayer("StuffChip", 10, nil, "s_stuff", 10, false, "wall_destroy_fx") } },
    { Name = "ChipGenerator", Behavior = { fixedLayer("ChipGenerator", 0, { CanFalling = 0 }, "s_generator", 10, false, "wall_destroy_fx") } },
    -- A chip of a colour in an iron casing that shows its count ("#limit").
    { Name = "ChainBomb",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   { Name = "ChainBomb", MultipleColors = 0, score = 50, onDestroySound = "bonus_bomb_sound",
                     CanIterateWithGroup = 1,
                     OnIdleDrawables = { { "Scene", "chain_bomb_xml", "pulse", 11, 1 } },
                     OnDestroyDrawables = { { "ParticleFX", "wall_destroy_fx", "", 30 } } } } },
    -- Rising chips: a chip of a colour that climbs a row after every move
    -- and counts for a level goal when matched.
    { Name = "ChipUp",
      Behavior = { look({ Name = "ChipUp", MultipleColors = 1, score = 100, LevelGoal = 1,
                          onDestroySound = "chip_destroy_sound" }, "s_chip_up", 10) } },
    -- The ice source: frozen in place, it freezes the chips around it.
    { Name = "Ice", Behavior = { fixedLayer("Ice", 40, { CanFalling = 0 }, "s_ice_source", 10, false, "wall_destroy_fx") } },

    -- Walls: fixed in place, hit by destroyed neighbours.
    { Name = "Wall", Behavior = { fixedLayer("Wall", 30, { CanFalling = 0, LevelGoal = 1 }, "s_wall_1", 10, false, "wall_destroy_fx") } },
    { Name = "StrongWall",
      Behavior = { fixedLayer("StrongWall", 50, { CanFalling = 0, LevelGoal = 1, OnDestroyActions = { "CanNotBeDestoyed" } }, "s_strong_wall_1", 10, false, "wall_destroy_fx") } },
    { Name = "Wall2",
      Behavior = { fixedLayer("Wall", 30, { CanFalling = 0, LevelGoal = 1 }, "s_wall_1", 10, false, "wall_destroy_fx"),
                   fixedLayer("Wall", 30, { CanFalling = 0, LevelGoal = 1 }, "s_wall_1", 10, false, "wall_destroy_fx") } },
    { Name = "CWall",
      Behavior = { look({ Name = "CWall", MultipleColors = 1, score = 30, CanFalling = 0, CanIterateWithGroup = 0, LevelGoal = 1 },
                        "s_color_wall", 10, false, "wall_destroy_fx") } },

    -- Chains hold a plain chip in place until a match breaks them.
    { Name = "Chain",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   overLayer("Chain", "s_chain", 20) } },
    { Name = "DChain",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   overLayer("Chain", "s_chain", 20),
                   overLayer("DChain", "s_chain", 21) } },

    -- Ice over a chip, one to three layers deep.
    { Name = "IceChip1",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   overLayer("IceChip1", "s_ice_1", 20) } },
    { Name = "IceChip2",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   overLayer("IceChip1", "s_ice_1", 20),
                   overLayer("IceChip2", "s_ice_2", 21) } },
    { Name = "IceChip3",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   overLayer("IceChip1", "s_ice_1", 20),
                   overLayer("IceChip2", "s_ice_2", 21),
                   overLayer("IceChip3", "s_ice_3", 22) } },
}
