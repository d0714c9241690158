#include "board/view/scene_effect.h"

#include <algorithm>

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "board/board_fatal.h"

SceneEffect::SceneEffect(const std::string& sceneFile, int layer, const QV::Vector2<float>& position, float delay,
                         const std::string& markerName)
    : GameFieldEffect(layer), scene(AE::loadScene(sceneFile)), delay(delay) {
    init(sceneFile, position, markerName);
}

SceneEffect::SceneEffect(AE::ISceneNode* scene, const std::string& sceneFile, int layer,
                         const QV::Vector2<float>& position, float delay, const std::string& markerName)
    : GameFieldEffect(layer), scene(scene), delay(delay) {
    init(sceneFile, position, markerName);
}

void SceneEffect::init(const std::string& sceneFile, const QV::Vector2<float>& position,
                       const std::string& markerName) {
    if (!scene) BOARD_FATAL("Failed to load scene '" + sceneFile + "'");
    scene->setPosition(position);
    marker = scene->findMarker(markerName);
    if (!marker) {
        delete scene;
        scene = nullptr;
        BOARD_FATAL("Scene '" + sceneFile + "' has no marker '" + markerName + "'");
        return;
    }
    marker->addListener(this);
    marker->play(true);
}

SceneEffect::~SceneEffect() { delete scene; }

void SceneEffect::addListener(SceneEffectListener* listener) {
    if (listener && std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
        listeners.push_back(listener);
}

void SceneEffect::update(float dt) {
    if (delay > 0.0f) {
        delay -= dt;
        return;
    }
    if (scene) scene->update(dt);
}

void SceneEffect::draw() {
    if (delay <= 0.0f && scene) AE::drawScene(scene);
}

void SceneEffect::onMarkerFinished(AE::Marker* ended) {
    if (ended != marker || finished) return;
    const std::vector<SceneEffectListener*> told = listeners;
    for (SceneEffectListener* listener : told) listener->onSceneEffectFinished(this);
    finished = true;
}
