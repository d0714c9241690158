#pragma once

#include <vector>

#include "dialogs/dialog_window_listener.h"
#include "singleton.h"

class DialogWindow;

// Lists every window, keeps the windows on screen (the last one on top), lets
// at most one window wait until the screen is free, and updates the visible
// windows. It never owns a window; released windows it forgets and frees.
class DialogWindowManager : public QV::Singleton<DialogWindowManager>, public DialogWindowListener {
public:
    DialogWindowManager() = default;
    ~DialogWindowManager() override;

    void registerWindow(DialogWindow* window);
    void unregisterWindow(DialogWindow* window);
    void showWindow(DialogWindow* window, bool queued);
    void onWindowClosed(DialogWindow* window) override;
    void update(float dt);
    // What a state does when it leaves: every window on screen is closed at
    // once without an answer, the waiting one is dropped (never shown later),
    // then every root of the UI manager is hidden.
    void hideAllForcibly();

    // A window is open: one is on screen or one waits.
    bool isWindowOpen() const { return !mVisible.empty() || mPending; }
    bool isOnTop(const DialogWindow* window) const {
        return !mVisible.empty() && mVisible.back() == window;
    }

    std::vector<DialogWindow*> mWindows;  // construction order; not owned
    std::vector<DialogWindow*> mVisible;  // shown or showing, in the order shown
    DialogWindow* mPending = nullptr;

private:
    // The waiting window goes up once nothing is on screen, however the screen emptied.
    void showPendingIfFree();
};

// The manager's hideAllForcibly when there is a manager, else the UI manager's.
void hideWindowsForcibly();
