#pragma once

#include "dialogs/dialog_window.h"

// The active holiday offer: up to three rewards, its price and picture.
class HolidayPurchaseWindow : public DialogWindow {
public:
    static constexpr int kItems = 3;

    HolidayPurchaseWindow();
    // Fills from the first running offer and shows; without one nothing happens.
    void show(bool queued) override;
};
