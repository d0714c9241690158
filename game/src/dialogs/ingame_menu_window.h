#pragma once

#include "dialogs/dialog_window.h"
#include "dialogs/dialog_window_listener.h"
#include "dialogs/scroll_bar_listener.h"

class ConfirmWindow;
class HelpWindow;
class ScrollBar;

// The menu of a running level: volume bars, help, and leaving the level after
// a confirmation. Closes with 1 (stay) or 0 (the player confirmed leaving).
class IngameMenuWindow : public DialogWindow, public ScrollBarListener, public DialogWindowListener {
public:
    IngameMenuWindow();
    ~IngameMenuWindow() override;

    void open();
    void update(float dt) override;
    void onValueChanged(ScrollBar* bar, float value) override;
    void onWindowClosed(DialogWindow* window) override;

    void onAcceptClicked();
    void onCloseClicked();
    void onMapClicked();
    void onHelpClicked();

    ScrollBar* mMusicBar = nullptr;  // owned
    ScrollBar* mSoundBar = nullptr;  // owned
    float mSavedMusicVolume = 0.0f;
    float mSavedSoundVolume = 0.0f;
    ConfirmWindow* mConfirmWindow = nullptr;  // released with the menu
    HelpWindow* mHelpWindow = nullptr;        // released with the menu
};
