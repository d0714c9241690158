#include "progress_saver.h"

#include "game_properties.h"

void ProgressSaver::saveNow() {
    if (GameProperties* properties = GameProperties::instancePointer()) properties->saveProfile();
}

void ProgressSaver::syncRemote() {}
