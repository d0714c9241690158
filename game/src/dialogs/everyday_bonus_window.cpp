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
        // Store packs are (amount, goods) pairs.
        for (const std::pair<int, int>& reward : Store::getBonusPack(day)) {
            const char* slot = reward.second == kGoodsSilver ? "#amount_s" : reward.second == kGoodsGold ? "#amount_g" : nullptr;
            if (!slot) continue;
            window_nodes::setText(window_nodes::text(panel, slot), QV::formatString("%d", reward.first), false);
        }
    }
}
