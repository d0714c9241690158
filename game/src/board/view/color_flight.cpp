#include "board/color_flight.h"

#include <memory>
#include <string>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "board/board_fatal.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "board/view/game_field_renderer.h"
#include "board/view/scene_path_effect.h"

namespace {
const char* const kScene = "color_fly_effect_xml";
}

const char* colorFlightMarker(int group) {
    static const char* const kNames[] = {"red", "green", "blue", "purple", "yellow", "orange"};
    return group >= 0 && group < 6 ? kNames[group] : "all";
}

ColorFlight::~ColorFlight() {
    if (owned) delete effect;
}

void ColorFlight::start(GameField* field, int group, const QV::Vector2<float>& from) {
    if (effect) return;
    const std::string marker = colorFlightMarker(group);
    GameFieldEffectList* list = field && field->renderer ? field->renderer->getEffects() : nullptr;
    if (!list) {
        effect = new ScenePathEffect(nullptr, marker);
        owned = true;
        effect->setPosition(from);
        return;
    }
    std::unique_ptr<AE::ISceneNode> scene(AE::loadScene(kScene));
    if (!scene) BOARD_FATAL(std::string("Failed to load scene '") + kScene + "'");
    for (const std::string& needed : {marker, std::string("point"), std::string("end")}) {
        if (!scene->findMarker(needed))
            BOARD_FATAL(std::string("Scene '") + kScene + "' has no marker '" + needed + "'");
    }
    effect = new ScenePathEffect(scene.release(), marker);
    effect->setPosition(from);
    list->add(effect);
}

bool ColorFlight::arrived() const { return !effect || effect->isArrived(); }

void ColorFlight::aimAt(GameField* field, const QV::Vector2<float>& chipPosition) {
    if (!effect) return;
    const float size = float(field->cellSize);
    effect->setTarget(QV::Vector2<float>(chipPosition.x * size, chipPosition.y * size));
}

void ColorFlight::finish() {
    if (effect) effect->finishPath();
}
