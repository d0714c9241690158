#include "player/progress_saver.h"

#include "player/game_properties.h"

void ProgressSaver::saveNow() {
    if (GameProperties* properties = GameProperties::instancePointer()) properties->saveProfile();
}

void ProgressSaver::syncRemote() {}
