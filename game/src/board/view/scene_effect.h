#pragma once

#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "board/game_field_effect.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}

class SceneEffect;

class SceneEffectListener {
public:
    virtual ~SceneEffectListener() = default;
    virtual void onSceneEffectFinished(SceneEffect* effect) = 0;
};

// Plays one marker of a scene at a point, shown after a delay, and tells its
// listeners when the marker ends. A missing scene or marker is fatal.
class SceneEffect : public GameFieldEffect, public AE::MarkerListener {
public:
    SceneEffect(const std::string& sceneFile, int layer, const QV::Vector2<float>& position, float delay,
                const std::string& markerName);
    // Takes the scene; sceneFile only names it in errors.
    SceneEffect(AE::ISceneNode* scene, const std::string& sceneFile, int layer, const QV::Vector2<float>& position,
                float delay, const std::string& markerName);
    ~SceneEffect() override;

    void addListener(SceneEffectListener* listener);
    void update(float dt) override;
    void draw() override;
    void onMarkerFinished(AE::Marker* marker) override;

    AE::ISceneNode* getScene() const { return scene; }
    float getDelay() const { return delay; }

private:
    void init(const std::string& sceneFile, const QV::Vector2<float>& position, const std::string& markerName);

    AE::ISceneNode* scene;
    float delay;
    std::vector<SceneEffectListener*> listeners;
    AE::Marker* marker = nullptr;
};
