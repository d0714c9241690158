#pragma once

#include <cstdint>

#include "vector2.h"

// What the booster lesson needs of the level's boosters panel. The panel (the
// rule object the mode returns for the boosters-panel kind) implements it.
class BoosterTutorialPanel {
public:
    virtual ~BoosterTutorialPanel() = default;
    // The screen point of the centre of that booster's button.
    virtual QV::Vector2<float> getButtonCenter(int32_t bonusKind) = 0;
    // Opens the booster's purchase window at its button as a free offer that cannot be closed.
    virtual void showButtonHint(int32_t bonusKind) = 0;
    // Activates the booster as if the player had pressed its button with stock.
    virtual void useBooster(int32_t bonusKind) = 0;
};

// The running level's boosters panel; null when the level has none.
BoosterTutorialPanel* findBoosterTutorialPanel();
