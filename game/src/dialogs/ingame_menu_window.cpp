#include "dialogs/ingame_menu_window.h"

#include "dialogs/confirm_window.h"
#include "dialogs/help_window.h"
#include "dialogs/scroll_bar.h"
#include "dialogs/volume_bars.h"

IngameMenuWindow::IngameMenuWindow() : DialogWindow("ingame_menu_ui", "InGameMenu", "gui") {
    bindButton("btnAccept", this, &IngameMenuWindow::onAcceptClicked);
    bindButton("btnClose", this, &IngameMenuWindow::onCloseClicked);
    bindButton("btnMap", this, &IngameMenuWindow::onMapClicked);
    bindButton("btnHelp", this, &IngameMenuWindow::onHelpClicked);
    mSoundBar = volume_bars::makeBar(mScene, "#soundBar", this);
    mMusicBar = volume_bars::makeBar(mScene, "#musicBar", this);
    mConfirmWindow = new ConfirmWindow("ConfirmExitLevelWindow", "confirm_exit_level_window_ui");
    mConfirmWindow->addListener(static_cast<DialogWindowListener*>(this));
    mHelpWindow = new HelpWindow();
}

IngameMenuWindow::~IngameMenuWindow() {
    delete mMusicBar;
    delete mSoundBar;
    mConfirmWindow->removeListener(static_cast<DialogWindowListener*>(this));
    volume_bars::releaseWindow(mConfirmWindow);
    volume_bars::releaseWindow(mHelpWindow);
}

void IngameMenuWindow::open() {
    mResult = 1;
    volume_bars::remember(mSoundBar, mMusicBar, &mSavedSoundVolume, &mSavedMusicVolume);
    if (mState != Shown && mState != Showing) show(true);
}

void IngameMenuWindow::update(float) { volume_bars::updateBars(this, mSoundBar, mMusicBar); }

void IngameMenuWindow::onValueChanged(ScrollBar* bar, float value) {
    volume_bars::apply(bar, mSoundBar, mMusicBar, value);
}

void IngameMenuWindow::onAcceptClicked() {
    if (mState != Shown) return;
    volume_bars::saveNow();
    hide();
}

// The close button puts the volumes back whatever the window's state.
void IngameMenuWindow::onCloseClicked() {
    volume_bars::restore(mSavedSoundVolume, mSavedMusicVolume);
    hide();
}

void IngameMenuWindow::onMapClicked() {
    if (mState != Shown) return;
    mConfirmWindow->show(false);
}

void IngameMenuWindow::onHelpClicked() {
    if (mState != Shown) return;
    mHelpWindow->open();
}

void IngameMenuWindow::onWindowClosed(DialogWindow* window) {
    if (window != mConfirmWindow || window->mResult != ConfirmWindow::Accepted) return;
    mResult = 0;
    hide();
}
