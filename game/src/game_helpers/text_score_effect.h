#pragma once

#include <string>

#include "animationeditor/marker.h"
#include "board/game_field_effect.h"

namespace AE {
class ISceneNode;
}

// One floating "+N" over the board: its own copy of the score text scene,
// playing one size marker; finished (and deleted by its list) when it ends.
class TextScoreEffect : public GameFieldEffect, public AE::MarkerListener {
public:
    static constexpr int kLayer = 2000;

    // Takes the scene; a missing marker ends the effect at once.
    TextScoreEffect(AE::ISceneNode* scene, const std::string& marker);
    ~TextScoreEffect() override;

    void update(float dt) override;
    void draw() override;
    void onMarkerFinished(AE::Marker* marker) override;

    AE::ISceneNode* scene() const { return mScene; }

private:
    AE::ISceneNode* mScene = nullptr;  // owned
    AE::Marker* mMarker = nullptr;
};
