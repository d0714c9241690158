-- The boosters: one lesson per booster on the level that unlocks it, and one
-- for the passive boosters in the level start window. The boosters panel is
-- not part of the levels yet, so no level unlocks a booster and these wait.
lessons = {
    { class = "BonusLesson", data = {
        bonusType = "comet", text1 = "TUTORIAL_COMET_1", text2 = "TUTORIAL_COMET_2",
        hor1 = "270", ver1 = "270", hor2 = "270", ver2 = "270",
        maskFile = "tutorial_sprites_lua", maskTable = "mask_round", maskOffset = {-79, -79},
    } },
    { class = "BonusLesson", data = {
        bonusType = "light", text1 = "TUTORIAL_LIGHT_1", text2 = "TUTORIAL_LIGHT_2",
        hor1 = "270", ver1 = "270", hor2 = "270", ver2 = "270",
        maskFile = "tutorial_sprites_lua", maskTable = "mask_round", maskOffset = {-79, -79},
    } },
    { class = "BonusLesson", data = {
        bonusType = "arrow", text1 = "TUTORIAL_ARROW_1", text2 = "TUTORIAL_ARROW_2",
        hor1 = "270", ver1 = "270", hor2 = "270", ver2 = "270",
        maskFile = "tutorial_sprites_lua", maskTable = "mask_round", maskOffset = {-79, -79},
    } },
    { class = "BonusLesson", data = {
        bonusType = "detonator", text1 = "TUTORIAL_DETONATOR_1", text2 = "TUTORIAL_DETONATOR_2",
        hor1 = "270", ver1 = "270", hor2 = "270", ver2 = "270",
        maskFile = "tutorial_sprites_lua", maskTable = "mask_round", maskOffset = {-79, -79},
    } },
    { class = "PassiveBonusLesson", data = {
        bonus = "color", text = "TUTORIAL_PASSIVE",
        hor = "90", ver = "90",
        maskFile = "tutorial_sprites_lua", maskTable = "mask_round",
    } },
}
