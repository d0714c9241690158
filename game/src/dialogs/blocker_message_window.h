#pragma once

#include "dialogs/dialog_window.h"

// Shown when the player presses a blocker on the map: a way to the star shop.
class BlockerMessageWindow : public DialogWindow {
public:
    BlockerMessageWindow();
    void onBuyStarsClicked();
};
