#include "dialogs/play_level_window.h"

#include <algorithm>
#include <string>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "dialogs/dialog_window_manager.h"
#include "dialogs/info_passive_bonus_window.h"
#include "dialogs/level_window_social.h"
#include "dialogs/window_nodes.h"
#include "format_string.h"
#include "game_helpers/level_goal_kind.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "player/progress_saver.h"
#include "tutorial/game_event.h"
#include "tutorial/tutorial_registry.h"
#include "ui/ui_widget.h"

namespace {

const char* const kPlacements[] = {"left", "center", "right"};
constexpr float kInfoWindowGap = 8.0f;

PlayerProfile* profile() {
    GameProperties* properties = GameProperties::instancePointer();
    return properties ? properties->profile() : nullptr;
}

const char* slotIcon(int32_t kind, bool timeLimited) {
    switch (kind) {
        case 0: return "s_bonus_minus_tsvet_ui_p_psd";
        case 1: return timeLimited ? "s_bonus_plus_time_ui_p_psd" : "s_bonus_plus_step_ui_p_psd";
        default: return "s_bonus_plus_bonus_ui_p_psd";
    }
}

void playIfPresent(AE::ISceneNode* node, const std::string& name) {
    if (AE::Marker* marker = node ? node->findMarker(name) : nullptr) marker->play(true);
}

void skipToEndIfPresent(AE::ISceneNode* node, const std::string& name) {
    if (AE::Marker* marker = node ? node->findMarker(name) : nullptr) marker->skipToEnd();
}

// Played from the start and stopped at once: its nodes rest at the start.
void rewind(AE::Marker* marker) {
    if (!marker) return;
    marker->setReversed(false);
    marker->play(true);
    marker->stop(true);
}

bool boughtForNextLevel(int32_t kind) {
    const PlayerProfile* player = profile();
    return player && kind >= 0 && kind < kPassiveBoosterKinds && player->mPassiveBoosters[kind] != 0;
}

}  // namespace

PlayLevelWindow::PlayLevelWindow() : DialogWindow("play_level_window_ui", "PlayLevelWindow", "gui") {
    bindButton("btnPlay", this, &PlayLevelWindow::onPlayClicked);
    bindButton("btnClose", this, &PlayLevelWindow::onCloseClicked);
    bindButton("btnBonusBuy1", this, &PlayLevelWindow::onSlot0Clicked);
    bindButton("btnBonusBuy2", this, &PlayLevelWindow::onSlot1Clicked);
    bindButton("btnBonusBuy3", this, &PlayLevelWindow::onSlot2Clicked);
    mGoalPanels[0] = mScene->findNode("#target1");
    mGoalPanels[1] = mScene->findNode("#target2");
    mScoreTargetText = window_nodes::text(mScene, "#score_target_text");
    mLeftPanelMarker = mScene->findMarker("leftPanel");
    mBottomPanelMarker = mScene->findMarker("bottomPanel");
    if (mLeftPanelMarker) mLeftPanelMarker->addListener(this);
    if (mBottomPanelMarker) mBottomPanelMarker->addListener(this);
    for (int i = 0; i < 3; ++i) mSlotNodes[i] = mScene->findNode(QV::formatString("#bonus%d", i));
    mInfoWindow = new InfoPassiveBonusWindow();
    mInfoWindow->addListener(this);
    mSilverText = window_nodes::text(mScene, "#silver");
}

PlayLevelWindow::~PlayLevelWindow() {
    if (mLeftPanelMarker) mLeftPanelMarker->removeListener(this);
    if (mBottomPanelMarker) mBottomPanelMarker->removeListener(this);
    delete mInfoWindow;
}

int32_t PlayLevelWindow::sellBackPrice(int32_t kind) {
    switch (kind) {
        case 0: return 110;
        case 1: return 50;
        default: return 75;
    }
}

void PlayLevelWindow::openForLevel(const LevelPreview& level, bool showCurrencyPanel) {
    mLevel = level;
    mResult = Closed;
    window_nodes::enable(mScene->findNode("#time_limit_icon"), level.timeLimited);
    mInfoWindow->mTimeLimit = level.timeLimited;
    setPassiveSlots(level.passiveSlots, level.timeLimited);

    mGoalKinds[0] = level.goalKinds[0];
    mGoalKinds[1] = level.goalKinds[1];
    const std::vector<int32_t> panels = goalPanelKinds(level);
    for (size_t i = 0; i < panels.size(); ++i) {
        AE::ISceneNode* panel = mGoalPanels[i];
        if (!panel) continue;
        const int32_t kind = panels[i];
        window_nodes::setSprite(panel->findNode("#icon"), "targets_sprites_lua", getLevelGoalSpriteName(kind));
        if (AE::TextSceneNode* text = window_nodes::text(panel, "#text")) {
            text->mTranslate = false;
            text->setText(translatedWithNumber(getLevelGoalTextId(kind), level.goalCounts[kind]));
        }
        panel->setEnabled(true);
    }
    for (size_t i = panels.size(); i < 2; ++i) window_nodes::enable(mGoalPanels[i], false);

    window_nodes::enable(mScoreTargetText, panels.empty());
    if (mScoreTargetText) {
        mScoreTargetText->mTranslate = false;
        mScoreTargetText->setText(translatedWithNumber("SCORE_TARGET", level.starThresholds[0]));
    }
    if (panels.size() == 1) playIfPresent(mScene, "goals1");
    if (panels.size() == 2) playIfPresent(mScene, "goals2");

    mStars = starsForScore(level.starThresholds, level.bestScore);
    playIfPresent(mScene, "stars0");
    if (AE::TextSceneNode* number = window_nodes::text(mScene, "#levelNum")) {
        number->mTranslate = false;
        number->setText(levelNumberText(level));
    }
    rewind(mLeftPanelMarker);
    rewind(mBottomPanelMarker);
    mFriends.open(mRoot, mScene);
    mShowCurrencyPanel = showCurrencyPanel;
    if (showCurrencyPanel) playIfPresent(mScene, "show_valuta_panel");
    if (mState != Shown && mState != Showing) show(true);
}

void PlayLevelWindow::setPassiveSlots(const int32_t kinds[3], bool timeLimited) {
    int32_t count = 0;
    while (count < 3 && kinds[count] != -1) ++count;
    playIfPresent(mScene, QV::formatString("bonuses%d", count));
    mSlotCount = count;
    for (int i = 0; i < 3; ++i) {
        mSlotKinds[i] = i < count ? kinds[i] : -1;
        AE::ISceneNode* slot = mSlotNodes[i];
        if (!slot) continue;
        slot->setEnabled(i < count);
        if (i >= count) continue;
        window_nodes::setSprite(slot->findNode("regular"), "ui_sprites_lua", slotIcon(kinds[i], timeLimited));
        skipToEndIfPresent(slot, boughtForNextLevel(kinds[i]) ? "buy" : "sell");
        placeSlotButton(i);
    }
}

void PlayLevelWindow::placeSlotButton(int slot) {
    // The scene lays the slots out by their count; each button follows its slot.
    QV::UIWidget* button = mRoot->findChild(QV::formatString("btnBonusBuy%d", slot + 1));
    AE::ISceneNode* window = mSlotNodes[slot]->mParent;
    if (!button || !window) return;
    // The button covers the slot's well.
    AE::ISceneNode* well = mSlotNodes[slot]->findNode("well");
    if (!well) return;
    button->setPosition(window->getPosition() + mSlotNodes[slot]->getPosition() + well->getPosition());
}

void PlayLevelWindow::onPlayClicked() {
    if (mState != Shown) return;
    mResult = Play;
    hide();
}

void PlayLevelWindow::onCloseClicked() {
    if (mState != Shown) return;
    hide();
}

void PlayLevelWindow::onSlotClicked(int slot) {
    if (mState != Shown || slot < 0 || slot >= mSlotCount) return;
    const int32_t kind = mSlotKinds[slot];
    PlayerProfile* player = profile();
    if (player && boughtForNextLevel(kind)) {
        // A second click on a bought booster gives it back for its price.
        PurchaseRecord& record = player->mPassivePurchases[kind];
        if (record.purchases > 0) record.purchases -= 1;
        player->mPassiveBoosters[kind] = 0;
        player->mSilver = std::max(player->mSilver + sellBackPrice(kind), 0);
        if (ProgressSaver* saver = ProgressSaver::instancePointer()) saver->saveNow();
        playIfPresent(mSlotNodes[slot], "sell");
        return;
    }
    mInfoWindow->open(kind, kPlacements[slot]);
    mSelectedSlot = slot;
    placeInfoWindow();
}

void PlayLevelWindow::placeInfoWindow() {
    if (mSelectedSlot < 0 || !mSlotNodes[mSelectedSlot] || !mInfoWindow->mRoot) return;
    AE::ISceneNode* icon = mSlotNodes[mSelectedSlot]->findNode("regular");
    if (!icon) return;
    // The scene widget puts its scene where the widget is, so the offer moves
    // by its widget: centred over the slot's icon, just above it.
    const QV::Vector2<float> at = icon->getWorldPosition();
    const float middle = at.x + icon->getSize().x * icon->getScale().x * 0.5f;
    const QV::Vector2<float> size = mInfoWindow->mRoot->getContentSize();
    const float left = std::max(0.0f, middle - size.x * 0.5f);
    const float top = std::max(0.0f, at.y - size.y - kInfoWindowGap);
    mInfoWindow->mRoot->setPosition(QV::Vector2<float>(left, top));
    mInfoWindow->mScene->update(0.0f);
    mInfoWindow->relayout();
}

void PlayLevelWindow::onWindowClosed(DialogWindow* window) {
    if (window != mInfoWindow || mInfoWindow->mResult != InfoPassiveBonusWindow::Bought) return;
    for (int i = 0; i < mSlotCount; ++i)
        if (mSlotKinds[i] == mInfoWindow->mKind) playIfPresent(mSlotNodes[i], "buy");
}

void PlayLevelWindow::onMarkerFinished(AE::Marker* marker) {
    if (marker == mShowMarker && mState == Showing) {
        dispatchTutorialEvent(new PlayLevelWindowGameEvent(this), getTutorialSequences());
        // The tutorial may have closed the window meanwhile.
        if (mState == Showing) {
            mState = Shown;
            setInputEnabled(true, nullptr);
            playIfPresent(mScene, QV::formatString("stars%d", mStars));
        }
    }
    // After "show" the base finds the window shown already and does nothing.
    DialogWindow::onMarkerFinished(marker);
}

void PlayLevelWindow::hide() {
    if (mState != Shown) return;
    if (mShowCurrencyPanel) playIfPresent(mScene, "hide_valuta_panel");
    DialogWindow::hide();
}

void PlayLevelWindow::update(float) {
    if (!mShowCurrencyPanel || !mSilverText) return;
    if (const PlayerProfile* player = profile()) mSilverText->setText(QV::formatString("%d", player->mSilver));
}

void PlayLevelWindow::relayout() {
    DialogWindow::relayout();
    if (mInfoWindow->mState != Hidden) placeInfoWindow();
}

void PlayLevelWindow::setConnectButtonsVisible(bool visible) {
    setLevelWindowSocialButtons(mRoot, mScene, visible);
}
