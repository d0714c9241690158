#pragma once

#include <functional>
#include <string>

// Every sound the board plays goes through here: the sound manager when it
// exists (an absent or device-less manager is silent), and an observer that
// the simulator uses to list the board's sounds.
void playBoardSound(int soundId);
// The same, and the name observer hears the resource name even when no
// sound manager could give it an id (headless runs list what was asked for).
void playBoardSound(int soundId, const std::string& name);

using BoardSoundObserver = std::function<void(int soundId)>;
void setBoardSoundObserver(BoardSoundObserver observer);

using BoardSoundNameObserver = std::function<void(const std::string& name)>;
void setBoardSoundNameObserver(BoardSoundNameObserver observer);
