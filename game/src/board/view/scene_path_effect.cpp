#include "board/view/scene_path_effect.h"

#include <cmath>
#include <cstdlib>

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"

ScenePathEffect::ScenePathEffect(const std::string& sceneFile, const std::string& startMarker)
    : GameFieldEffect(kLayer), scene(AE::loadScene(sceneFile)) {
    init(startMarker);
}

ScenePathEffect::ScenePathEffect(AE::ISceneNode* scene, const std::string& startMarker)
    : GameFieldEffect(kLayer), scene(scene) {
    init(startMarker);
}

void ScenePathEffect::init(const std::string& startMarker) {
    if (!scene) return;
    if (AE::Marker* start = scene->findMarker(startMarker)) start->play(true);
    for (AE::ISceneNode* child : scene->mChildren) {
        if (child->mName.compare(0, 7, "#speed:") == 0) {
            const float named = float(std::atof(child->mName.c_str() + 7));
            // A speed that cannot reach a target would hold the board for good.
            if (std::isfinite(named) && named > 0.0f) speed = named;
            break;
        }
    }
    endMarker = scene->findMarker("end");
}

ScenePathEffect::~ScenePathEffect() { delete scene; }

void ScenePathEffect::setPosition(const QV::Vector2<float>& point) {
    position = point;
    if (scene) scene->setPosition(point);
}

QV::Vector2<float> ScenePathEffect::getPosition() const { return scene ? scene->getPosition() : position; }

void ScenePathEffect::setTarget(const QV::Vector2<float>& point) {
    target = point;
    arrived = false;
    if (!scene) {
        // Nothing to show flying: the leg is over at once.
        position = point;
        arrived = true;
    }
}

void ScenePathEffect::finishPath() {
    if (finished) return;
    if (!endMarker) {
        finished = true;
        return;
    }
    endMarker->addListener(this);
    endMarker->play(true);
}

void ScenePathEffect::update(float dt) {
    if (finished) return;
    if (!scene) return;
    if (!arrived) {
        float step = speed * dt;
        const QV::Vector2<float> from = scene->getPosition();
        const QV::Vector2<float> d(target.x - from.x, target.y - from.y);
        const float dist = std::sqrt(d.x * d.x + d.y * d.y);
        if (dist <= step) {
            arrived = true;
            scene->setPosition(target);
        } else if (dist > 0.0f) {
            scene->setPosition(QV::Vector2<float>(from.x + d.x / dist * step, from.y + d.y / dist * step));
        }
        if (arrived) {
            if (AE::Marker* point = scene->getMarker("point")) point->play(true);
        }
    }
    scene->update(dt);
}

void ScenePathEffect::draw() {
    if (!finished && scene) AE::drawScene(scene);
}

void ScenePathEffect::onMarkerFinished(AE::Marker* marker) {
    if (marker == endMarker) finished = true;
}
