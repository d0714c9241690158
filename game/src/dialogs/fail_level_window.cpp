#include "dialogs/fail_level_window.h"

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "dialogs/level_window_social.h"
#include "dialogs/window_nodes.h"

FailLevelWindow::FailLevelWindow() : DialogWindow("fail_level_window_ui", "FailLevelWindow", "gui") {
    bindButton("btnClose", this, &FailLevelWindow::onCloseClicked);
    bindButton("btnReplay", this, &FailLevelWindow::onReplayClicked);
    mLeftPanelMarker = mScene->findMarker("leftPanel");
    mBottomPanelMarker = mScene->findMarker("bottomPanel");
    if (mLeftPanelMarker) mLeftPanelMarker->addListener(this);
    if (mBottomPanelMarker) mBottomPanelMarker->addListener(this);
    mScoreNode = window_nodes::text(mScene, "#score");
    if (mScoreNode) mScoreNode->mTranslate = false;
}

FailLevelWindow::~FailLevelWindow() {
    if (mLeftPanelMarker) mLeftPanelMarker->removeListener(this);
    if (mBottomPanelMarker) mBottomPanelMarker->removeListener(this);
}

void FailLevelWindow::open(const LevelPreview& level, int32_t score) {
    mLevel = level;
    if (AE::Marker* stars = mScene->findMarker("stars0")) stars->play(true);
    if (mScoreNode) mScoreNode->setText(translatedWithNumber("FAIL_SCORE", score));
    if (AE::TextSceneNode* number = window_nodes::text(mScene, "#levelNum")) {
        number->mTranslate = false;
        number->setText(levelNumberText(level));
    }
    mFriends.open(mRoot, mScene);
    if (mState != Shown && mState != Showing) show(true);
}

void FailLevelWindow::onCloseClicked() {
    if (mState != Shown) return;
    mResult = Closed;
    hide();
}

void FailLevelWindow::onReplayClicked() {
    if (mState != Shown) return;
    mResult = Replay;
    hide();
}
