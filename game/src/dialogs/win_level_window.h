#pragma once

#include <cstdint>

#include "dialogs/dialog_window.h"
#include "dialogs/level_preview.h"
#include "dialogs/level_window_social.h"

namespace AE {
class TextSceneNode;
}

// The window after a won level: the stars reached play one after another,
// then the score and the silver reward count up over two seconds.
// Closes with Next (its next button) or Closed.
class WinLevelWindow : public DialogWindow {
public:
    enum Result { Closed = 0, Next = 1 };
    enum CountState { NotCounted = 0, Counting = 1, Counted = 2 };
    static constexpr float kCountSeconds = 2.0f;

    WinLevelWindow();
    ~WinLevelWindow() override;

    // A score of -1 rates the level's best score instead.
    void open(const LevelPreview& level, int32_t score, int32_t money);

    void onMarkerFinished(AE::Marker* marker) override;
    void hide() override;
    void update(float dt) override;

    void onCloseClicked();
    void onNextClicked();

    AE::Marker* mLeftPanelMarker = nullptr;
    AE::Marker* mBottomPanelMarker = nullptr;
    int32_t mStars = 0;
    LevelPreview mLevel;
    int32_t mScore = 0;
    float mCountTimer = kCountSeconds;
    int32_t mEffectIndex = 0;
    int32_t mEffectCount = 0;
    int32_t mMoney = 0;
    int32_t mShownMoney = 0;
    int32_t mCountState = NotCounted;
    LevelWindowFriends mFriends;

private:
    AE::Marker* mStarMarkers[4] = {};
};
