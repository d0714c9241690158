#pragma once

#include <cstdint>
#include <string>

#include "dialogs/dialog_window.h"

namespace AE {
class ISceneNode;
class TextSceneNode;
}

// Offers the player who ran out of moves (or time) to go on for silver,
// with how far each goal has come. Closes with Continue (moves or seconds
// bought, mGrantAmount) or EndLevel.
class NomovesLevelWindow : public DialogWindow {
public:
    enum Result { EndLevel = 0, Continue = 1 };
    static constexpr int32_t kMovesPrice = 250;
    static constexpr int32_t kTimePrice = 4;
    static constexpr int32_t kMovesGrant = 5;
    static constexpr int32_t kTimeGrant = 15;

    NomovesLevelWindow();

    void setGoals(int firstKind, int secondKind, int firstTarget, int secondTarget, int scoreTarget);
    void setLevelNumber(const std::string& title);
    void setLimitKind(bool timeLimited);
    // Shows the goals' progress and opens the window.
    void updateGoalChecks(int firstProgress, int secondProgress);
    void update(float dt) override;

    void onContinueClicked();
    void onEndLevelClicked();

    AE::ISceneNode* mGoalPanels[2] = {nullptr, nullptr};
    AE::TextSceneNode* mScoreTargetText = nullptr;
    AE::TextSceneNode* mGoldText = nullptr;
    AE::TextSceneNode* mSilverText = nullptr;
    int32_t mGoalCount = 0;
    int32_t mGoalTargets[2] = {0, 0};
    int32_t mTimeLimited = 0;
    int32_t mGrantAmount = 0;
};
