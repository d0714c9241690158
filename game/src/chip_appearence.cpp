#include "chip_appearence.h"

void ChipAppearence::start(GameField* owner) {
    field = owner;
    time = 0.0f;
    finished = false;
}

void ChipAppearence::update(float dt) {
    if (finished) return;
    time += dt;
    if (time >= duration) finished = true;
}
