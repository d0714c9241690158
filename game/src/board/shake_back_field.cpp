#include "board/shake_back_field.h"

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "board/board_host.h"
#include "board/game_field.h"

bool ShakeBackField::execute(GameField* field, Chip*, float) {
    if (field && field->level) field->level->playShakeMarker(markerName);
    return true;
}

void BackgroundShake::play(AE::ISceneNode* background, const std::string& name, AE::MarkerListener* listener) {
    if (!background) return;
    if (marker) marker->stop(false);
    marker = background->findMarker(name);
    if (!marker) return;
    if (listener) marker->addListener(listener);
    marker->play(true);
}
