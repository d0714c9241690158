#include "board/board_sound.h"

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

namespace {
BoardSoundNameObserver& nameObserverSlot() {
    static BoardSoundNameObserver observer;
    return observer;
}
}  // namespace

void playBoardSound(int soundId, const std::string& name) {
    if (!name.empty() && nameObserverSlot()) nameObserverSlot()(name);
    playBoardSound(soundId);
}

void setBoardSoundNameObserver(BoardSoundNameObserver observer) { nameObserverSlot() = std::move(observer); }

void setBoardSoundObserver(BoardSoundObserver observer) { observerSlot() = std::move(observer); }
