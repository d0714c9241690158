#include "dialogs/nomoves_level_window.h"

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "dialogs/level_preview.h"
#include "dialogs/window_nodes.h"
#include "format_string.h"
#include "game_helpers/level_goal_kind.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "player/progress_saver.h"

namespace {

PlayerProfile* player() {
    GameProperties* properties = GameProperties::instancePointer();
    return properties ? properties->profile() : nullptr;
}

AE::ISceneNode* child(AE::ISceneNode* panel, const char* name) { return panel ? panel->findNode(name) : nullptr; }

}  // namespace

NomovesLevelWindow::NomovesLevelWindow() : DialogWindow("nomoves_level_window_ui", "NomovesLevelWindow", "gui") {
    bindButton("btnContinue", this, &NomovesLevelWindow::onContinueClicked);
    bindButton("btnEndLevel", this, &NomovesLevelWindow::onEndLevelClicked);
    mGoalPanels[0] = mScene->findNode("target1");
    mGoalPanels[1] = mScene->findNode("target2");
    mScoreTargetText = window_nodes::text(mScene, "#score_target_text");
    mGoldText = window_nodes::text(mScene, "#gold");
    mSilverText = window_nodes::text(mScene, "#silver");
}

void NomovesLevelWindow::setGoals(int firstKind, int secondKind, int firstTarget, int secondTarget, int scoreTarget) {
    mGoalCount = 0;
    mGoalTargets[0] = firstTarget;
    mGoalTargets[1] = secondTarget;
    for (int kind : {firstKind, secondKind}) {
        if (kind == 0) continue;
        AE::ISceneNode* panel = mGoalPanels[mGoalCount];
        window_nodes::setSprite(child(panel, "icon"), "targets_sprites_lua", getLevelGoalSpriteName(kind));
        window_nodes::enable(panel, true);
        ++mGoalCount;
    }
    if (mGoalCount > 0) {
        if (AE::Marker* marker = mScene->findMarker(mGoalCount == 2 ? "goals2" : "goals1")) marker->play(true);
    }
    window_nodes::enable(mScoreTargetText, mGoalCount == 0);
    if (mGoalCount == 0 && mScoreTargetText) {
        mScoreTargetText->mTranslate = false;
        mScoreTargetText->setText(translatedWithNumber("SCORE_TARGET", scoreTarget));
    }
    for (int i = mGoalCount; i < 2; ++i) window_nodes::enable(mGoalPanels[i], false);
}

void NomovesLevelWindow::setLevelNumber(const std::string& title) {
    window_nodes::setText(window_nodes::text(mScene, "#levelNum"), title, false);
}

void NomovesLevelWindow::setLimitKind(bool timeLimited) {
    mTimeLimited = timeLimited ? 1 : 0;
    window_nodes::setText(window_nodes::text(mScene, "#title"), timeLimited ? "NOTIME_TITLE" : "NOMOVES_TITLE", true);
    window_nodes::setSprite(mScene->findNode("#limit_icon"), "ui_sprites_lua",
                            timeLimited ? "s_plus_5_time_icon_ui_p_psd" : "s_plus_5_icon_ui_p_psd");
    window_nodes::setText(window_nodes::text(mScene, "#price"),
                          QV::formatString("%d", timeLimited ? kTimePrice : kMovesPrice), false);
}

void NomovesLevelWindow::updateGoalChecks(int firstProgress, int secondProgress) {
    const int progress[2] = {firstProgress, secondProgress};
    for (int i = 0; i < mGoalCount && i < 2; ++i) {
        AE::ISceneNode* panel = mGoalPanels[i];
        window_nodes::enable(child(panel, "check"), progress[i] == mGoalTargets[i]);
        window_nodes::enable(child(panel, "uncheck"), progress[i] != mGoalTargets[i]);
        AE::ISceneNode* text = child(panel, "text");
        if (text && text->getType() == AE::kTextNode)
            window_nodes::setText(static_cast<AE::TextSceneNode*>(text),
                                  QV::formatString("%d/%d", progress[i], mGoalTargets[i]), false);
    }
    if (mState != Shown && mState != Showing) show(true);
}

void NomovesLevelWindow::update(float) {
    const PlayerProfile* profile = player();
    if (!profile) return;
    if (mGoldText) window_nodes::setText(mGoldText, QV::formatString("%d", profile->mGold), false);
    if (mSilverText) window_nodes::setText(mSilverText, QV::formatString("%d", profile->mSilver), false);
}

void NomovesLevelWindow::onContinueClicked() {
    if (mState != Shown) return;
    PlayerProfile* profile = player();
    const int32_t price = mTimeLimited ? kTimePrice : kMovesPrice;
    if (!profile || profile->mSilver < price) return;
    profile->mSilver = profile->mSilver - price > 0 ? profile->mSilver - price : 0;
    if (ProgressSaver* saver = ProgressSaver::instancePointer()) saver->saveNow();
    mGrantAmount = mTimeLimited ? kTimeGrant : kMovesGrant;
    mResult = Continue;
    hide();
}

void NomovesLevelWindow::onEndLevelClicked() {
    if (mState != Shown) return;
    mResult = EndLevel;
    hide();
}
