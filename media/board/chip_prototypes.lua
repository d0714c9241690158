-- Chip prototypes: every chip is a stack of behaviour layers, inner first.
-- A prototype whose first layer has MultipleColors = 1 expands into six
-- colours (_R _G _B _M _Y _O). Flags are numbers: 0 false, 1 true.
-- Layers that never join colour runs set CanIterateWithGroup = 0.

local function colourLayer(name, score, sound, actions)
    return {
        Name = name,
        MultipleColors = 1,
        score = score,
        onDestroySound = sound,
        OnDestroyActions = actions,
    }
end

local function fixedLayer(name, score, flags)
    local layer = { Name = name, MultipleColors = 0, score = score, CanIterateWithGroup = 0 }
    for key, value in pairs(flags or {}) do layer[key] = value end
    return layer
end

ChipPrototypes = {
    -- Plain colours: the only chips the refill draws.
    { Name = "Simple", DropRate = 1, GamePoints = 20,
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound") } },

    -- Bonus chips of a colour.
    { Name = "WaveHor", Behavior = { colourLayer("WaveHor", 60, "bonus_line_sound", { "WaveHor" }) } },
    { Name = "WaveVer", Behavior = { colourLayer("WaveVer", 60, "bonus_line_sound", { "WaveVer" }) } },
    { Name = "SimpleBomb", Behavior = { colourLayer("BombStage1", 80, "bonus_bomb_sound", { "Boom" }) } },
    { Name = "Bomb", Behavior = { colourLayer("BombStage1", 80, "bonus_bomb_sound", { "Boom" }) } },
    { Name = "Cross", Behavior = { colourLayer("Cross", 80, "bonus_line_sound", { "Cross" }) } },

    -- Colour destroyer: no colour of its own, swaps with any chip.
    { Name = "DestroyColor",
      Behavior = { fixedLayer("DestroyColor", 100,
                   { onDestroySound = "bonus_color_sound", OnDestroyActions = { "ColorDestroyer" } }) } },

    -- Fused bonus chips.
    { Name = "SuperBomb",
      Behavior = { fixedLayer("SuperBomb", 150, { onDestroySound = "bonus_bomb_sound", OnDestroyActions = { "SuperBoom" } }) } },
    { Name = "SuperWaveVer",
      Behavior = { fixedLayer("SuperWaveVer", 150, { onDestroySound = "bonus_line_sound", OnDestroyActions = { "SuperWaveVer" } }) } },
    { Name = "SuperWaveDSide",
      Behavior = { fixedLayer("SuperWaveDSide", 150, { onDestroySound = "bonus_line_sound", OnDestroyActions = { "SuperCross" } }) } },
    { Name = "Star",
      Behavior = { fixedLayer("Star", 150, { onDestroySound = "bonus_line_sound", OnDestroyActions = { "Star" } }) } },

    -- Level goals and rule chips.
    { Name = "FallingLevelGoal",
      Behavior = { fixedLayer("FallingLevelGoal", 200,
                   { LevelGoal = 1, OnIdleActions = { "DestroyIfFloorIsReached" } }) } },
    { Name = "StuffChip", Behavior = { fixedLayer("StuffChip", 10) } },
    { Name = "ChipGenerator", Behavior = { fixedLayer("ChipGenerator", 0, { CanFalling = 0 }) } },
    { Name = "ChainBomb",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   { Name = "ChainBomb", MultipleColors = 1, score = 50, onDestroySound = "bonus_bomb_sound" } } },

    -- Walls: fixed in place, hit by destroyed neighbours.
    { Name = "Wall", Behavior = { fixedLayer("Wall", 30, { CanFalling = 0, LevelGoal = 1 }) } },
    { Name = "StrongWall",
      Behavior = { fixedLayer("StrongWall", 50, { CanFalling = 0, LevelGoal = 1, OnDestroyActions = { "CanNotBeDestoyed" } }) } },
    { Name = "Wall2",
      Behavior = { fixedLayer("Wall", 30, { CanFalling = 0, LevelGoal = 1 }),
                   fixedLayer("Wall", 30, { CanFalling = 0, LevelGoal = 1 }) } },
    { Name = "CWall",
      Behavior = { { Name = "CWall", MultipleColors = 1, score = 30, CanFalling = 0, CanIterateWithGroup = 0, LevelGoal = 1 } } },

    -- Chains hold a plain chip in place until a match breaks them.
    { Name = "Chain",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   { Name = "Chain", MultipleColors = 0, score = 20, CanFalling = 0 } } },
    { Name = "DChain",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   { Name = "Chain", MultipleColors = 0, score = 20, CanFalling = 0 },
                   { Name = "DChain", MultipleColors = 0, score = 20, CanFalling = 0 } } },

    -- Ice over a chip, one to three layers deep.
    { Name = "IceChip1",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   { Name = "IceChip1", MultipleColors = 0, score = 20, CanFalling = 0 } } },
    { Name = "IceChip2",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   { Name = "IceChip1", MultipleColors = 0, score = 20, CanFalling = 0 },
                   { Name = "IceChip2", MultipleColors = 0, score = 20, CanFalling = 0 } } },
    { Name = "IceChip3",
      Behavior = { colourLayer("Simple", 20, "chip_destroy_sound"),
                   { Name = "IceChip1", MultipleColors = 0, score = 20, CanFalling = 0 },
                   { Name = "IceChip2", MultipleColors = 0, score = 20, CanFalling = 0 },
                   { Name = "IceChip3", MultipleColors = 0, score = 20, CanFalling = 0 } } },
}
