-- Plain chips that all animate: each carries the running glint.
ChipPrototypes = {
    { Name = "Simple", DropRate = 1,
      Behavior = { { Name = "Simple", MultipleColors = 1, score = 20,
                     OnIdleDrawables = { { "Sprite", "chips_sprites", "s_chip", 10 },
                                         { "AnimSprite", "chips_sprites", "s_glint", 11, 1 } },
                     OnDestroyDrawables = { { "ParticleFX", "chip_destroy_fx", "", 30 } } } } },
}
