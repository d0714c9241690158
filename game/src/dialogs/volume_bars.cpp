#include "dialogs/volume_bars.h"

#include "animationeditor/scene_node.h"
#include "dialogs/dialog_window.h"
#include "dialogs/dialog_window_manager.h"
#include "dialogs/scroll_bar.h"
#include "format_string.h"
#include "log_system.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "player/progress_saver.h"

namespace volume_bars {

PlayerProfile* profile() {
    GameProperties* properties = GameProperties::instancePointer();
    return properties ? properties->profile() : nullptr;
}

ScrollBar* makeBar(AE::ISceneNode* scene, const std::string& node, ScrollBarListener* listener) {
    AE::ISceneNode* barNode = scene ? scene->findNode(node) : nullptr;
    if (!barNode && QV::LogSystem::instancePointer())
        QV::logLine(QV::formatString("ERROR: The window scene has no volume bar %s", node.c_str()));
    ScrollBar* bar = new ScrollBar(barNode);
    bar->mListener = listener;
    return bar;
}

void updateBars(const DialogWindow* window, ScrollBar* sound, ScrollBar* music) {
    DialogWindowManager* manager = DialogWindowManager::instancePointer();
    const bool onTop = manager && manager->isOnTop(window);
    sound->mActive = onTop;
    music->mActive = onTop;
    sound->update();
    music->update();
}

void remember(ScrollBar* sound, ScrollBar* music, float* savedSound, float* savedMusic) {
    if (PlayerProfile* player = profile()) {
        *savedMusic = player->mMusicVolume;
        *savedSound = player->mSoundVolume;
    }
    sound->setValue(*savedSound);
    music->setValue(*savedMusic);
}

void restore(float savedSound, float savedMusic) {
    PlayerProfile* player = profile();
    if (!player) return;
    player->setSoundVolume(savedSound);
    player->setMusicVolume(savedMusic);
}

void apply(ScrollBar* bar, ScrollBar* sound, ScrollBar* music, float value) {
    PlayerProfile* player = profile();
    if (!player) return;
    if (bar == sound) player->setSoundVolume(value);
    else if (bar == music) player->setMusicVolume(value);
}

void saveNow() {
    if (ProgressSaver* saver = ProgressSaver::instancePointer()) saver->saveNow();
}


void releaseWindow(DialogWindow* window) {
    if (!window) return;
    if (DialogWindowManager::instancePointer()) window->mReleased = true;
    else delete window;
}

}  // namespace volume_bars
