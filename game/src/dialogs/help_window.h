#pragma once

#include "dialogs/dialog_window.h"

// How to play; each menu window owns one.
class HelpWindow : public DialogWindow {
public:
    HelpWindow();
    // Shows at once unless the window is already up.
    void open();
};
