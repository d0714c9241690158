#pragma once

#include <cstdint>

#include "board/game_field_effect.h"

// Plays a sound once its delay has run out, then finishes. Draws nothing.
class SoundEffect : public GameFieldEffect {
public:
    SoundEffect(int32_t sound, float delay) : GameFieldEffect(0), sound(sound), delay(delay) {}
    void update(float dt) override;
    void draw() override {}

    int32_t sound;
    float delay;
};
