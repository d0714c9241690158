#include "dialogs/help_window.h"

HelpWindow::HelpWindow() : DialogWindow("help_window_ui", "HelpWindow", "gui") {
    bindButton("btnClose", static_cast<DialogWindow*>(this), &DialogWindow::hide);
}

void HelpWindow::open() {
    if (mState == Shown || mState == Showing) return;
    show(false);
}
