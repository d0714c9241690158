#pragma once

#include "vector2.h"

class GameField;
class ScenePathEffect;

// Start marker of the colour bomb's orb for a colour group: "red" .. "orange",
// "all" for any other group.
const char* colorFlightMarker(int group);

// The colour bomb's orb, flying from chip to chip for a colour task. With a
// renderer it is the scene "color_fly_effect_xml" in the renderer's effect
// list (the scene or one of its markers missing is fatal); without one it is
// a scene-less flight of the task's own that arrives at once.
class ColorFlight {
public:
    ColorFlight() = default;
    ColorFlight(const ColorFlight&) = delete;
    ColorFlight& operator=(const ColorFlight&) = delete;
    ~ColorFlight();

    // from: pixels.
    void start(GameField* field, int group, const QV::Vector2<float>& from);
    bool exists() const { return effect != nullptr; }
    bool arrived() const;
    // Starts a leg to a chip position (cells).
    void aimAt(GameField* field, const QV::Vector2<float>& chipPosition);
    // Plays the end marker; the effect list deletes the effect when it ends.
    void finish();

    ScenePathEffect* getEffect() const { return effect; }

private:
    ScenePathEffect* effect = nullptr;
    bool owned = false;
};
