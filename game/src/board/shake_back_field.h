#pragma once

#include <string>

#include "board/action.h"

namespace AE {
class ISceneNode;
class Marker;
class MarkerListener;
}  // namespace AE

// Plays a marker of the level's background scene (the board seems to shake
// the scenery). Through the level: without one, nothing happens.
class ShakeBackField : public Action {
public:
    explicit ShakeBackField(const std::string& markerName) : markerName(markerName) {}
    bool execute(GameField* field, Chip* chip, float dt) override;
    Action* clone() const override { return new ShakeBackField(markerName); }

    std::string markerName;
};

// The level's side: one background marker at a time. A new shake stops the
// one the level started last, then plays the named marker (when the scene
// has it) with the level as its listener.
class BackgroundShake {
public:
    void play(AE::ISceneNode* background, const std::string& name, AE::MarkerListener* listener);
    AE::Marker* current() const { return marker; }
    // The scene is going away.
    void forget() { marker = nullptr; }

private:
    AE::Marker* marker = nullptr;
};
