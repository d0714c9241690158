#pragma once

#include <string>

#include "dialogs/dialog_window.h"

namespace AE {
class ISceneNode;
class SpriteSceneNode;
class TextSceneNode;
}  // namespace AE

// Sells one passive booster for silver; reused by the level start window's
// three passive-booster buttons. Closes with 1 when bought, 0 when closed.
class InfoPassiveBonusWindow : public DialogWindow {
public:
    enum Result { Closed = 0, Bought = 1 };

    InfoPassiveBonusWindow();

    // Shows at once, then fills the offer of the kind (0 colour, 1 moves or
    // time, 2 boom) and plays the scene's marker of that name.
    void open(int kind, const std::string& markerName);
    void onBuyClicked();
    void onCloseClicked();
    static int price(int kind);

    AE::ISceneNode* mRootGroup = nullptr;
    AE::ISceneNode* mIcon = nullptr;
    AE::TextSceneNode* mTitle = nullptr;
    AE::TextSceneNode* mDesc = nullptr;
    bool mTimeLimit = false;  // set by the opener before open
    int mKind = 0;
};
