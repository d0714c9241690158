#pragma once

#include <functional>

// Every sound the board plays goes through here: the sound manager when it
// exists (an absent or device-less manager is silent), and an observer that
// the simulator uses to list the board's sounds.
void playBoardSound(int soundId);

using BoardSoundObserver = std::function<void(int soundId)>;
void setBoardSoundObserver(BoardSoundObserver observer);
