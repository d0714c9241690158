#pragma once

#include "dialogs/dialog_window.h"

// The authors window; it only closes.
class CutscenesWindow : public DialogWindow {
public:
    CutscenesWindow();
};
