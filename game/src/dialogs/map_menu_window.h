#pragma once

#include "dialogs/dialog_window.h"
#include "dialogs/scroll_bar_listener.h"

class HelpWindow;
class ScrollBar;

// The episode map's menu: volume bars, help, and leaving to the main menu.
// Closes with 1 (stay) or 0 (to the main menu).
class MapMenuWindow : public DialogWindow, public ScrollBarListener {
public:
    MapMenuWindow();
    ~MapMenuWindow() override;

    void open();
    void update(float dt) override;
    void onValueChanged(ScrollBar* bar, float value) override;

    void onAcceptClicked();
    void onCloseClicked();
    void onMainMenuClicked();
    void onHelpClicked();

    ScrollBar* mMusicBar = nullptr;  // owned
    ScrollBar* mSoundBar = nullptr;  // owned
    float mSavedMusicVolume = 0.0f;
    float mSavedSoundVolume = 0.0f;
    HelpWindow* mHelpWindow = nullptr;  // released with the menu
};
