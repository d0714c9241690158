#include "board/view/sound_effect.h"

#include "board/board_sound.h"

void SoundEffect::update(float dt) {
    if (finished) return;
    delay -= dt;
    if (delay > 0.0f) return;
    finished = true;
    playBoardSound(sound);
}
