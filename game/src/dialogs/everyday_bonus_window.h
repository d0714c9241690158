#pragma once

#include "dialogs/dialog_window.h"

// The five days of the everyday bonus with their rewards; filled once.
class EverydayBonusWindow : public DialogWindow {
public:
    static constexpr int kDays = 5;

    EverydayBonusWindow();
};
