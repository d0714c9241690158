#pragma once

// The second base of every lesson that shows a tutorial window: told when the
// window's show and hide animations have finished.
class TutorialWindowListener {
public:
    virtual ~TutorialWindowListener() = default;
    virtual void onWindowShown() {}
    // The lesson usually deletes the window in here.
    virtual void onWindowClosed() {}
};
