#pragma once

#include "dialogs/dialog_window.h"

// The main menu's question before the program ends: "btnYes" closes it with
// result 0 (leave), "btnNo" with result 1 (stay).
class ExitQuestionWindow : public DialogWindow {
public:
    ExitQuestionWindow();
    void accept();
    void reject();
};
