#pragma once

class DialogWindow;

// Told when a window has finished appearing or disappearing. Both are empty
// here, so a listener overrides only what it needs.
class DialogWindowListener {
public:
    // Leaves the listener lists of every window, so no window calls into a
    // listener that is gone.
    virtual ~DialogWindowListener();
    virtual void onWindowShown(DialogWindow* /*window*/) {}
    virtual void onWindowClosed(DialogWindow* /*window*/) {}
};
