#pragma once

#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "board/game_field_effect.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}

class SceneFlyingEffect;

class SceneFlyingEffectListener {
public:
    virtual ~SceneFlyingEffectListener() = default;
    virtual void onSceneFlyingEffectFinished(SceneFlyingEffect* effect) = 0;
};

// A scene flying in a straight line over the time its "#time:" child names,
// then playing its "end" marker (when it has one) before it finishes.
class SceneFlyingEffect : public GameFieldEffect, public AE::MarkerListener {
public:
    SceneFlyingEffect(const std::string& sceneFile, int layer, const QV::Vector2<float>& start,
                      const QV::Vector2<float>& end, const std::string& startMarker);
    // Takes the scene; sceneFile only names it in errors.
    SceneFlyingEffect(AE::ISceneNode* scene, const std::string& sceneFile, int layer,
                      const QV::Vector2<float>& start, const QV::Vector2<float>& end, const std::string& startMarker);
    ~SceneFlyingEffect() override;

    void addListener(SceneFlyingEffectListener* listener);
    void update(float dt) override;
    void draw() override;
    void onMarkerFinished(AE::Marker* marker) override;

    float getDuration() const { return duration; }
    float getTimeLeft() const { return timeLeft; }
    AE::ISceneNode* getScene() const { return scene; }

private:
    void init(const std::string& sceneFile, const std::string& startMarker);
    // Reads the flight time from the first "#time:" child and finds "end".
    void readTimeMarker(const std::string& sceneFile);
    void tellListeners();

    AE::ISceneNode* scene;
    QV::Vector2<float> start;
    QV::Vector2<float> end;
    float duration = 0.0f;
    float timeLeft = 0.0f;
    AE::Marker* endMarker = nullptr;
    std::vector<SceneFlyingEffectListener*> listeners;
};
