#pragma once

#include <cstdint>

#include "dialogs/dialog_window.h"
#include "dialogs/level_preview.h"
#include "dialogs/level_window_social.h"

namespace AE {
class TextSceneNode;
}

// The window after a failed level, with the score reached. Closes with
// Replay (its replay button) or Closed.
class FailLevelWindow : public DialogWindow {
public:
    enum Result { Replay = 0, Closed = 1 };

    FailLevelWindow();
    ~FailLevelWindow() override;

    void open(const LevelPreview& level, int32_t score);

    void onCloseClicked();
    void onReplayClicked();

    AE::Marker* mLeftPanelMarker = nullptr;
    AE::Marker* mBottomPanelMarker = nullptr;
    AE::TextSceneNode* mScoreNode = nullptr;
    LevelPreview mLevel;
    LevelWindowFriends mFriends;
};
