#pragma once

#include <string>

#include "animationeditor/marker.h"
#include "board/game_field_effect.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}

// A scene that flies leg by leg to targets its user sets: each leg ends with
// arrived set and the "point" marker played; the user ends the path with
// finishPath. Without a scene it arrives at once and draws nothing.
class ScenePathEffect : public GameFieldEffect, public AE::MarkerListener {
public:
    static constexpr int kLayer = 50;
    static constexpr float kDefaultSpeed = 825.0f;

    // Loads the scene; a scene that does not load leaves the effect without one.
    ScenePathEffect(const std::string& sceneFile, const std::string& startMarker);
    // Takes the scene (may be null).
    ScenePathEffect(AE::ISceneNode* scene, const std::string& startMarker);
    ~ScenePathEffect() override;

    void update(float dt) override;
    void draw() override;
    void onMarkerFinished(AE::Marker* marker) override;

    void setPosition(const QV::Vector2<float>& position);
    QV::Vector2<float> getPosition() const;
    // Starts a leg.
    void setTarget(const QV::Vector2<float>& target);
    const QV::Vector2<float>& getTarget() const { return target; }
    bool isArrived() const { return arrived; }
    // Plays the end marker, which finishes the effect when it ends; without
    // one the effect finishes at once (it would otherwise stay forever).
    void finishPath();

    float getSpeed() const { return speed; }
    AE::ISceneNode* getScene() const { return scene; }

private:
    void init(const std::string& startMarker);

    AE::ISceneNode* scene = nullptr;
    QV::Vector2<float> target;
    float speed = kDefaultSpeed;
    bool arrived = false;
    AE::Marker* endMarker = nullptr;
    // Where a scene-less effect is.
    QV::Vector2<float> position;
};
