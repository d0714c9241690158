#include "board/view/scene_flying_effect.h"

#include <algorithm>
#include <cstdlib>

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "board/board_fatal.h"

SceneFlyingEffect::SceneFlyingEffect(const std::string& sceneFile, int layer, const QV::Vector2<float>& start,
                                     const QV::Vector2<float>& end, const std::string& startMarker)
    : GameFieldEffect(layer), scene(AE::loadScene(sceneFile)), start(start), end(end) {
    init(sceneFile, startMarker);
}

SceneFlyingEffect::SceneFlyingEffect(AE::ISceneNode* scene, const std::string& sceneFile, int layer,
                                     const QV::Vector2<float>& start, const QV::Vector2<float>& end,
                                     const std::string& startMarker)
    : GameFieldEffect(layer), scene(scene), start(start), end(end) {
    init(sceneFile, startMarker);
}

void SceneFlyingEffect::init(const std::string& sceneFile, const std::string& startMarker) {
    if (!scene) BOARD_FATAL("Failed to load scene '" + sceneFile + "'");
    if (AE::Marker* marker = scene->findMarker(startMarker)) marker->play(true);
    readTimeMarker(sceneFile);
}

void SceneFlyingEffect::readTimeMarker(const std::string& sceneFile) {
    bool found = false;
    for (AE::ISceneNode* child : scene->mChildren) {
        if (child->mName.compare(0, 6, "#time:") == 0) {
            duration = timeLeft = float(std::atof(child->mName.c_str() + 6));
            found = true;
            break;
        }
    }
    if (!found) {
        delete scene;
        scene = nullptr;
        BOARD_FATAL("Scene '" + sceneFile + "' has no \"#time:\" node");
        return;
    }
    endMarker = scene->findMarker("end");
}

SceneFlyingEffect::~SceneFlyingEffect() { delete scene; }

void SceneFlyingEffect::addListener(SceneFlyingEffectListener* listener) {
    if (listener && std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
        listeners.push_back(listener);
}

void SceneFlyingEffect::tellListeners() {
    const std::vector<SceneFlyingEffectListener*> told = listeners;
    for (SceneFlyingEffectListener* listener : told) listener->onSceneFlyingEffectFinished(this);
    finished = true;
}

void SceneFlyingEffect::update(float dt) {
    if (finished || !scene) return;
    if (timeLeft != 0.0f) {
        timeLeft = std::max(timeLeft - dt, 0.0f);
        const float f = duration != 0.0f ? timeLeft / duration : 0.0f;
        scene->setPosition(QV::Vector2<float>(end.x - (end.x - start.x) * f, end.y - (end.y - start.y) * f));
        if (timeLeft == 0.0f) {
            if (endMarker) {
                endMarker->addListener(this);
                endMarker->play(true);
            } else {
                tellListeners();
            }
        }
    }
    scene->update(dt);
}

void SceneFlyingEffect::draw() {
    if (scene) AE::drawScene(scene);
}

void SceneFlyingEffect::onMarkerFinished(AE::Marker* marker) {
    if (marker == endMarker && !finished) tellListeners();
}
