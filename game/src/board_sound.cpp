#include "board_sound.h"

#include "sound_system/sound_manager.h"

namespace {
BoardSoundObserver& observerSlot() {
    static BoardSoundObserver observer;
    return observer;
}
}  // namespace

void playBoardSound(int soundId) {
    if (soundId == 0) return;
    if (observerSlot()) observerSlot()(soundId);
    if (QV::SoundManager* sound = QV::SoundManager::instancePointer()) sound->play(soundId);
}

void setBoardSoundObserver(BoardSoundObserver observer) { observerSlot() = std::move(observer); }
