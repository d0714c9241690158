#include "dialogs/map_menu_window.h"

#include "dialogs/help_window.h"
#include "dialogs/scroll_bar.h"
#include "dialogs/volume_bars.h"

MapMenuWindow::MapMenuWindow() : DialogWindow("map_menu_ui", "MapMenu", "gui") {
    bindButton("btnAccept", this, &MapMenuWindow::onAcceptClicked);
    bindButton("btnClose", this, &MapMenuWindow::onCloseClicked);
    bindButton("btnMainMenu", this, &MapMenuWindow::onMainMenuClicked);
    bindButton("btnHelp", this, &MapMenuWindow::onHelpClicked);
    mSoundBar = volume_bars::makeBar(mScene, "#soundBar", this);
    mMusicBar = volume_bars::makeBar(mScene, "#musicBar", this);
    mHelpWindow = new HelpWindow();
}

MapMenuWindow::~MapMenuWindow() {
    delete mMusicBar;
    delete mSoundBar;
    volume_bars::releaseWindow(mHelpWindow);
}

void MapMenuWindow::open() {
    volume_bars::remember(mSoundBar, mMusicBar, &mSavedSoundVolume, &mSavedMusicVolume);
    if (mState != Shown && mState != Showing) show(true);
}

void MapMenuWindow::update(float) { volume_bars::updateBars(this, mSoundBar, mMusicBar); }

void MapMenuWindow::onValueChanged(ScrollBar* bar, float value) {
    volume_bars::apply(bar, mSoundBar, mMusicBar, value);
}

void MapMenuWindow::onAcceptClicked() {
    if (mState != Shown) return;
    mResult = 1;
    volume_bars::saveNow();
    hide();
}

void MapMenuWindow::onCloseClicked() {
    if (mState != Shown) return;
    mResult = 1;
    volume_bars::restore(mSavedSoundVolume, mSavedMusicVolume);
    hide();
}

void MapMenuWindow::onMainMenuClicked() {
    if (mState != Shown) return;
    volume_bars::restore(mSavedSoundVolume, mSavedMusicVolume);
    mResult = 0;
    hide();
}

void MapMenuWindow::onHelpClicked() {
    if (mState != Shown) return;
    mHelpWindow->open();
}
