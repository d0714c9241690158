#include "flow/move_warning.h"

#include "animationeditor/scene_node.h"
#include "format_string.h"
#include "game_helpers/goals_helper.h"
#include "game_helpers/move_limit_helper.h"

MoveWarning::~MoveWarning() { delete scene; }

void MoveWarning::update() {
    if (!scene || !moveLimit) return;
    if (goals && goals->areGoalsReached()) return;
    const int moves = moveLimit->remaining() + moveLimit->pending();
    if (moves > 5 || moves == lastShown || moves < 0) return;
    lastShown = moves;
    if (AE::Marker* marker = scene->findMarker(QV::formatString("%i", moves))) marker->play(true);
}
