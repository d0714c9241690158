#include "dialogs/everyday_bonus_window.h"

#include "animationeditor/scene_node.h"
#include "dialogs/window_nodes.h"
#include "format_string.h"
#include "player/store.h"

EverydayBonusWindow::EverydayBonusWindow()
    : DialogWindow("everyday_bonus_window_ui", "EverydayBonusWindow", "gui") {
    bindButton("btnOk", static_cast<DialogWindow*>(this), &DialogWindow::hide);
    for (int day = 1; day <= kDays; ++day) {
        AE::ISceneNode* panel = mScene->findNode(QV::formatString("#day_%d", day));
        if (!panel) continue;
        // A day card shows a coin and an amount only for what its pack pays.
        int silver = 0, gold = 0;
        // Store packs are (amount, currency) pairs.
        for (const std::pair<int, int>& reward : Store::getBonusPack(day)) {
            if (reward.second == kCurrencySilver) silver += reward.first;
            if (reward.second == kCurrencyGold) gold += reward.first;
        }
        const struct {
            const char* icon;
            const char* amount;
            int value;
        } slots[] = {{"#silver", "#amount_s", silver}, {"#gold", "#amount_g", gold}};
        for (const auto& slot : slots) {
            window_nodes::enable(panel->findNode(slot.icon), slot.value > 0);
            window_nodes::enable(panel->findNode(slot.amount), slot.value > 0);
            window_nodes::setText(window_nodes::text(panel, slot.amount),
                                  slot.value > 0 ? QV::formatString("%d", slot.value) : "", false);
        }
    }
}
