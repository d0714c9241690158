#include "dialogs/win_level_window.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "dialogs/level_window_social.h"
#include "dialogs/window_nodes.h"
#include "format_string.h"

namespace {

constexpr char kEffectCountKey[] = "#effectCount:";

// The number after "#effectCount:" in the name of the scene's first such child; 0 without one.
int32_t effectCountOf(const AE::ISceneNode* scene) {
    for (const AE::ISceneNode* child : scene->mChildren) {
        const size_t at = child->mName.find(kEffectCountKey);
        if (at == std::string::npos) continue;
        std::string digits;
        for (size_t i = at + sizeof(kEffectCountKey) - 1; i < child->mName.size(); ++i) {
            const char c = child->mName[i];
            if ((c < '0' || c > '9') && c != '-') break;
            digits.push_back(c);
        }
        return int32_t(std::strtol(digits.c_str(), nullptr, 10));
    }
    return 0;
}

void setNumber(AE::ISceneNode* scene, const char* name, int32_t value) {
    if (AE::TextSceneNode* text = window_nodes::text(scene, name)) {
        text->mTranslate = false;
        text->setText(QV::formatString("%d", value));
    }
}

}  // namespace

WinLevelWindow::WinLevelWindow() : DialogWindow("win_level_window_ui", "WinLevelWindow", "gui") {
    bindButton("btnClose", this, &WinLevelWindow::onCloseClicked);
    bindButton("btnNext", this, &WinLevelWindow::onNextClicked);
    mLeftPanelMarker = mScene->findMarker("leftPanel");
    mBottomPanelMarker = mScene->findMarker("bottomPanel");
    if (mLeftPanelMarker) mLeftPanelMarker->addListener(this);
    if (mBottomPanelMarker) mBottomPanelMarker->addListener(this);
    mEffectCount = effectCountOf(mScene);
    for (int i = 0; i < 4; ++i) {
        mStarMarkers[i] = mScene->findMarker(QV::formatString("stars%d", i));
        if (mStarMarkers[i]) mStarMarkers[i]->addListener(this);
    }
}

WinLevelWindow::~WinLevelWindow() {
    for (AE::Marker* marker : {mLeftPanelMarker, mBottomPanelMarker, mStarMarkers[0], mStarMarkers[1],
                               mStarMarkers[2], mStarMarkers[3]})
        if (marker) marker->removeListener(this);
}

void WinLevelWindow::open(const LevelPreview& level, int32_t score, int32_t money) {
    mCountState = NotCounted;
    mScore = score;
    setNumber(mScene, "#score", 0);
    setNumber(mScene, "#money", 0);
    mLevel = level;
    if (AE::TextSceneNode* number = window_nodes::text(mScene, "#levelNum")) {
        number->mTranslate = false;
        number->setText(levelNumberText(level));
    }
    mFriends.open(mRoot, mScene);
    if (mState != Shown && mState != Showing) show(true);
    mCountTimer = kCountSeconds;
    mMoney = money;
    mEffectIndex = 0;
    mShownMoney = 0;
    mStars = starsForScore(level.starThresholds, score == -1 ? level.bestScore : score);
}

void WinLevelWindow::onMarkerFinished(AE::Marker* marker) {
    if (marker == mShowMarker) {
        if (mState == Showing) {
            mState = Shown;
            setInputEnabled(true, nullptr);
        }
        if (AE::Marker* stars = mScene->findMarker(QV::formatString("stars%d", mStars))) stars->play(true);
        return;
    }
    if (marker->getName().rfind("stars", 0) == 0 && mCountState == NotCounted) {
        mCountState = Counting;
        mCountTimer = kCountSeconds;
    }
    DialogWindow::onMarkerFinished(marker);
}

void WinLevelWindow::hide() {
    DialogWindow::hide();
    if (mCountState == NotCounted) {
        mCountState = Counting;
        mCountTimer = kCountSeconds;
    }
}

void WinLevelWindow::update(float dt) {
    if (mCountTimer <= 0.0f || mState == Hidden) return;
    AE::TextSceneNode* scoreText = window_nodes::text(mScene, "#score");
    AE::TextSceneNode* moneyText = window_nodes::text(mScene, "#money");
    if (mCountState != Counting) return;
    // Closing before the count ends shows the final values at once.
    mCountTimer = mState == Hiding ? 0.0f : std::max(mCountTimer - dt, 0.0f);
    const float k = 1.0f - mCountTimer / kCountSeconds;
    if (scoreText) scoreText->setText(QV::formatString("%d", int32_t(float(mScore) * k)));
    const int32_t m = int32_t(float(mMoney) * k);
    const int32_t step = m - mShownMoney;
    // Silver moves in steps of at least 10, with its exact value at the end.
    if (step > 0 && (step >= 10 || mCountTimer == 0.0f)) {
        mShownMoney = m;
        if (moneyText) moneyText->setText(QV::formatString("%d", mShownMoney));
        if (mEffectCount > 0) {
            if (AE::Marker* effect = mScene->findMarker(QV::formatString("silverEffect[%d]", mEffectIndex)))
                effect->play(true);
            mEffectIndex = (mEffectIndex + 1) % mEffectCount;
        }
    }
    if (mCountTimer == 0.0f) {
        mCountState = Counted;
        mCountTimer = kCountSeconds;
    }
}

void WinLevelWindow::onCloseClicked() {
    if (mState != Shown) return;
    mResult = Closed;
    hide();
}

void WinLevelWindow::onNextClicked() {
    if (mState != Shown) return;
    mResult = Next;
    hide();
}
