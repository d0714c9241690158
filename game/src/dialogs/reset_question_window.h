#pragma once

#include <cstdint>

#include "dialogs/dialog_window.h"

namespace AE {
class ISceneNode;
class TextSceneNode;
}  // namespace AE

// Asks before the game starts over: the accept area must be held for three
// seconds while a countdown shows 3, 2, 1. Closes with 0 after a completed
// hold, 1 otherwise.
class ResetQuestionWindow : public DialogWindow {
public:
    static constexpr float kHoldSeconds = 3.0f;

    ResetQuestionWindow();

    void show(bool queued) override;
    void update(float dt) override;

    AE::ISceneNode* mAcceptNode = nullptr;     // the scene node "btnAccept" (no button binding)
    AE::TextSceneNode* mTimerText = nullptr;   // "#timer"
    uint8_t mHolding = 0;
    // The hold's length, summed from frame times so that a scripted run with
    // a fixed frame time repeats exactly.
    float mHeldSeconds = 0.0f;

private:
    void showCount(int count);
};
