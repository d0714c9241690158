#include "dialogs/options_window.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "application.h"
#include "dialogs/reset_question_window.h"
#include "dialogs/scroll_bar.h"
#include "dialogs/volume_bars.h"
#include "dialogs/window_nodes.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "tutorial/tutorial_registry.h"
#include "ui/ui_button.h"
#include "ui/ui_widget.h"

namespace {

QV::UICheckBox* checkBox(QV::UIWidget* root, const char* name) {
    QV::UIWidget* widget = root ? root->findChild(name) : nullptr;
    return widget && widget->getType() == QV::kUICheckBox ? static_cast<QV::UICheckBox*>(widget) : nullptr;
}

}  // namespace

OptionsWindow::OptionsWindow() : DialogWindow("options_window_ui", "OptionsWindow", "gui") {
    bindButton("btnReset", this, &OptionsWindow::onResetClicked);
    bindButton("btnAccept", this, &OptionsWindow::onAcceptClicked);
    bindButton("btnClose", this, &OptionsWindow::onCloseClicked);
    mMusicBar = volume_bars::makeBar(mScene, "#musicBar", this);
    mSoundBar = volume_bars::makeBar(mScene, "#soundBar", this);
    mConnectText = window_nodes::text(mScene, "#facebook_btn_text");
    window_nodes::setText(mConnectText, "FACEBOOK_BTN_TEXT_CONNECT", true);
    mResetWindow = new ResetQuestionWindow();
    mResetWindow->addListener(static_cast<DialogWindowListener*>(this));
    // The social button is not offered here.
    window_nodes::enable(mScene ? mScene->findNode("facebook_btn") : nullptr, false);
}

OptionsWindow::~OptionsWindow() {
    delete mMusicBar;
    delete mSoundBar;
    mResetWindow->removeListener(static_cast<DialogWindowListener*>(this));
    volume_bars::releaseWindow(mResetWindow);
}

void OptionsWindow::open() {
    PlayerProfile* player = volume_bars::profile();
    if (QV::UICheckBox* box = checkBox(mRoot, "checkFullScreen")) box->setChecked(player && player->mFullScreen != 0);
    if (QV::UICheckBox* box = checkBox(mRoot, "checkGameCursor")) box->setChecked(player && player->mCustomCursor != 0);
    if (mScene && mScene->findMarker("main_menu")) mScene->playMarker("main_menu");
    volume_bars::remember(mSoundBar, mMusicBar, &mSavedSoundVolume, &mSavedMusicVolume);
    show(true);
}

void OptionsWindow::update(float) {
    volume_bars::updateBars(this, mSoundBar, mMusicBar);
    PlayerProfile* player = volume_bars::profile();
    if (!player) return;
    if (QV::UICheckBox* box = checkBox(mRoot, "checkFullScreen")) {
        const uint8_t wanted = box->isChecked() ? 1 : 0;
        if (wanted != player->mFullScreen) player->mFullScreen = wanted;
    }
    if (QV::UICheckBox* box = checkBox(mRoot, "checkGameCursor")) {
        const uint8_t wanted = box->isChecked() ? 1 : 0;
        if (wanted != player->mCustomCursor) {
            player->mCustomCursor = wanted;
            if (gApplication && gApplication->getWindow()) gApplication->getWindow()->customCursor = wanted != 0;
        }
    }
}

void OptionsWindow::onValueChanged(ScrollBar* bar, float value) {
    volume_bars::apply(bar, mSoundBar, mMusicBar, value);
}

void OptionsWindow::onAcceptClicked() {
    if (mState != Shown) return;
    volume_bars::saveNow();
    hide();
}

// The check boxes' changes stay; only the volumes go back.
void OptionsWindow::onCloseClicked() {
    if (mState != Shown) return;
    volume_bars::restore(mSavedSoundVolume, mSavedMusicVolume);
    hide();
}

void OptionsWindow::onResetClicked() {
    if (mState != Shown) return;
    mResetWindow->show(false);
}

void OptionsWindow::onWindowClosed(DialogWindow* window) {
    if (window != mResetWindow || window->mResult != 0) return;
    GameProperties* properties = GameProperties::instancePointer();
    if (properties) properties->newGame();
    resetTutorials(getTutorialSequences());
    if (properties) properties->saveProfile();
}
