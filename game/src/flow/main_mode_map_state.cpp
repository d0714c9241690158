#include "flow/main_mode_map_state.h"

#include <algorithm>
#include <ctime>

#include "animationeditor/marker.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/text_scene_node.h"
#include "dialogs/buy_valuta_window.h"
#include "dialogs/dialog_window_manager.h"
#include "dialogs/everyday_bonus_window.h"
#include "dialogs/holiday_purchase_window.h"
#include "dialogs/level_preview.h"
#include "dialogs/map_menu_window.h"
#include "dialogs/play_level_window.h"
#include "format_string.h"
#include "function.h"
#include "player/game_properties.h"
#include "flow/game_state_manager.h"
#include "input_manager.h"
#include "job_manager.h"
#include "flow/layout_markers.h"
#include "lex_binded_function_manager.h"
#include "lex_binder.h"
#include "log_system.h"
#include "flow/episode.h"
#include "flow/level_buttons.h"
#include "flow/main_mode.h"
#include "flow/mesh_scene_node.h"
#include "player/player_profile.h"
#include "player/store.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_widget.h"

namespace {

constexpr uint8_t kEscapeKey = 0x1B;
constexpr uint64_t kDay = 86400;
constexpr int32_t kBonusDays = 5;
constexpr const char* kCommands[] = {"showMenu", "showBuyGoldWindow", "showBuySilverWindow", "showBuyStarsWindow",
                                     "buyHolidayPurchase", "showMail"};

PlayerProfile* profile() {
    GameProperties* properties = GameProperties::instancePointer();
    return properties ? properties->profile() : nullptr;
}

bool windowsOpen() {
    const DialogWindowManager* windows = DialogWindowManager::instancePointer();
    return windows && windows->isWindowOpen();
}

void setNumber(AE::ISceneNode* node, int value) {
    if (node && node->getType() == AE::kTextNode)
        static_cast<AE::TextSceneNode*>(node)->setText(QV::formatString("%d", value));
}

void openShop(int currency) {
    if (BuyValutaWindowSingleton* shop = BuyValutaWindowSingleton::instancePointer()) shop->open(currency, true);
}

void playMarker(AE::ISceneNode* node, const char* name) {
    if (AE::Marker* marker = node ? node->findMarker(name) : nullptr) marker->play(true);
}

}  // namespace

int32_t dueEverydayBonusDay(const PlayerProfile& profile, uint64_t now) {
    const uint64_t today = now - now % kDay;
    if (today <= profile.mDayStamp) return 0;
    if (profile.mDayStamp != 0 && today - profile.mDayStamp == kDay)
        return profile.mDayIndex < kBonusDays ? std::max(profile.mDayIndex, 0) + 1 : kBonusDays;
    return 1;
}

MainModeMapState::MainModeMapState(MainMode* mode) : mMode(mode) {
    if (QV::UIManager::instancePointer()) {
        mBonusWindow = new EverydayBonusWindow();
        mBonusWindow->addListener(this);
        mLevelWindow = new PlayLevelWindow();
        mLevelWindow->addListener(this);
    }
}

MainModeMapState::~MainModeMapState() {
    delete mBonusWindow;
    mBonusWindow = nullptr;
    delete mHolidayWindow;
    mHolidayWindow = nullptr;
    delete mLevelWindow;
    mLevelWindow = nullptr;
    delete mMenuWindow;
    mMenuWindow = nullptr;
    unload();
}

void MainModeMapState::load() { initializeAsync(); }

void MainModeMapState::onActivate() { initializeAsync(); }

void MainModeMapState::onDeactivate() { unload(); }

void MainModeMapState::initializeAsync() {
    QV::logLine("void MainModeMapState::initializeAsync() -begin");
    QV::Job* job = QV::JobManager::instance()->addJob(new QV::Function<MainModeMapState>(this, &MainModeMapState::buildMap));
    if (job && !job->isStarted()) job->start();
    QV::logLine("void MainModeMapState::initializeAsync() -end");
}

void MainModeMapState::buildMap() {
    if (isLoaded()) return;
    mMode->updateProgress();
    if (mEpisodeIndex == -1) mEpisodeIndex = mMode->getCurrentEpisode();
    const EpisodeList& episodes = mMode->getEpisodes();
    if (mEpisodeIndex >= 0 && size_t(mEpisodeIndex) < episodes.size())
        mMapRoot = AE::loadScene(episodes[size_t(mEpisodeIndex)]->mMapScene);
    if (mMapRoot) {
        mMapRoot->update(0.0f);
        if (AE::Marker* init = mMapRoot->getMarker("init")) init->play(true);
        buildLevelButtons();
        refreshLevelButtons();
    } else {
        QV::logLine(QV::formatString("ERROR: The map of episode %d has no scene to show", mEpisodeIndex));
    }
    bindCommands();

    if (QV::UIManager* ui = QV::UIManager::instancePointer()) {
        mInterface = ui->loadUI("map_interface_ui", "MapInterface", nullptr, "default");
        if (mInterface) mInterface->show();
    }
    mSocial->attach(mInterface);
    QV::UIWidget* gui = mInterface ? mInterface->findChild("gui") : nullptr;
    if (gui && gui->getType() == QV::kUISceneNode) mInterfaceScene = static_cast<QV::UISceneNode*>(gui)->getNode();
    if (mInterfaceScene) {
        mSilverText = mInterfaceScene->findNode("#silver");
        mGoldText = mInterfaceScene->findNode("#gold");
        mStarsText = mInterfaceScene->findNode("#stars");
        mActionPanel = mInterfaceScene->findNode("#action_panel");
    }
    GameStateManager* states = GameStateManager::instancePointer();
    onOrientationChanged(states ? states->getOrientation() : 0);
    if (mMapRoot) {
        replaceMeshPlaceholders(mMapRoot);
        mMapRoot->update(0.0f);
    }
    refreshTopPanel();
    mSelectedPart = mMode->getCurrentPart();
    mSelectedLevel = mMode->getCurrentLevel();
    mBonusChecked = false;
    setLoaded(true);
}

void MainModeMapState::buildLevelButtons() {
    mGroups.clear();
    mHoveredButton = nullptr;
    const EpisodeList& episodes = mMode->getEpisodes();
    const Episode* episode = episodes[size_t(mEpisodeIndex)];
    AE::ISceneNode* levelScene = AE::loadScene("level_scene_xml");
    AE::ISceneNode* prototype = levelScene ? levelScene->findNode("level") : nullptr;
    if (!prototype) QV::logLine("ERROR: The level button scene 'level_scene_xml' has no node 'level'");
    if (prototype) prototype->stop(true);
    for (const EpisodePart* part : episode->mParts) {
        LevelButtonGroup group;
        group.part = part;
        for (const EpisodeLevel* level : part->mLevels) {
            AE::ISceneNode* place = mMapRoot->findNode("#" + level->mFile);
            AE::ISceneNode* button = nullptr;
            if (place && place->mParent && prototype) {
                button = prototype->clone(nullptr);
                button->mName = place->mName;
                button->setPosition(place->getPosition());
                // The clone's world matrix must hold its new place before the parent keeps it.
                button->updateTransform();
                place->mParent->addChild(button, AE::KeepTransform::World);
                playMarker(button, "init");
                delete place;
            } else if (!place) {
                QV::logLine(QV::formatString("ERROR: The map has no place '#%s' for its level button", level->mFile.c_str()));
            }
            // A level without its place keeps its index, so the next levels keep their buttons.
            group.buttons.push_back(button);
        }
        mGroups.push_back(group);
    }
    if (size_t(mEpisodeIndex) + 1 < episodes.size() && !episodes[size_t(mEpisodeIndex) + 1]->mParts.empty()) {
        LevelButtonGroup next;
        next.part = episodes[size_t(mEpisodeIndex) + 1]->mParts[0];
        mGroups.push_back(next);
    }
    delete levelScene;
}

void MainModeMapState::refreshLevelButtons() {
    const Episode& episode = *mMode->getEpisodes()[size_t(mEpisodeIndex)];
    for (size_t g = 0; g < mGroups.size() && g < episode.mParts.size(); ++g) {
        const EpisodePart* part = episode.mParts[g];
        for (size_t l = 0; l < mGroups[g].buttons.size(); ++l) {
            AE::ISceneNode* button = mGroups[g].buttons[l];
            if (!button) continue;
            if (AE::Marker* select = button->findMarker("select")) {
                select->play(true);
                select->haltEntries();
            }
            const EpisodeLevel* level = part->mLevels[l];
            switch (levelButtonPose(episode, int32_t(g), int32_t(l))) {
                case LevelButtonPose::Completed: {
                    const int32_t stars = starsForScore(level->mStarThresholds, level->mBestScore);
                    if (AE::Marker* marker = button->getMarker(QV::formatString("star%d", stars))) marker->play(true);
                    break;
                }
                case LevelButtonPose::Open:
                    if (AE::Marker* show = button->findMarker("show")) show->skipToEnd();
                    break;
                case LevelButtonPose::Locked:
                    playMarker(button, "disable");
                    break;
            }
            AE::ISceneNode* text = button->findNode("text");
            if (text && text->getType() == AE::kTextNode) {
                auto* title = static_cast<AE::TextSceneNode*>(text);
                title->mTranslate = level->mTitleIsTextId;
                title->setText(level->mTitle);
            }
        }
    }
    // The level the player stands at shows its halo.
    if (mEpisodeIndex != mMode->getCurrentEpisode()) return;
    int32_t part = mMode->getCurrentPart(), level = mMode->getCurrentLevel();
    if (part > 0 && size_t(part) < episode.mParts.size() && episode.mParts[size_t(part)]->mClosed) {
        part -= 1;
        level = int32_t(episode.mParts[size_t(part)]->mLevels.size()) - 1;
    }
    if (part < 0 || size_t(part) >= mGroups.size() || level < 0 || size_t(level) >= mGroups[size_t(part)].buttons.size())
        return;
    playMarker(mGroups[size_t(part)].buttons[size_t(level)], "select");
}

bool MainModeMapState::handleButtonInput() {
    QV::InputManager* input = QV::InputManager::instancePointer();
    if (!input || !input->getMouse() || !mMapRoot || windowsOpen()) return false;
    if (mInterface && mInterface->isHovered()) return false;
    // The map does not scroll yet: its points are the screen's.
    const QV::Vector2<int> pointer = input->getMousePosition();
    const int x = pointer.x, y = pointer.y;
    const int kind = input->isMousePressed() || input->isMouseDown() ? 1 : input->isMouseReleased() ? 2 : 0;
    const Episode& episode = *mMode->getEpisodes()[size_t(mEpisodeIndex)];

    if (mHoveredButton && !mHoveredButton->hitTest(x, y, true)) {
        mHoveredButton->resetMarkers(AE::MarkerScope::Subtree, AE::MarkerReplay::No);
        playMarker(mHoveredButton, "onRegular");
        mHoveredButton = nullptr;
    }
    for (size_t g = 0; !mHoveredButton && g < mGroups.size() && g < episode.mParts.size(); ++g) {
        if (episode.mParts[g]->mClosed) break;
        for (size_t l = 0; l < mGroups[g].buttons.size(); ++l) {
            AE::ISceneNode* button = mGroups[g].buttons[l];
            if (!button || !isLevelButtonOpen(episode, int32_t(g), int32_t(l)) || !button->hitTest(x, y, true)) continue;
            mHoveredButton = button;
            playMarker(button, "onSelect");
            break;
        }
    }
    if (kind == 0) return false;
    for (size_t g = 0; g < mGroups.size() && g < episode.mParts.size(); ++g) {
        for (size_t l = 0; l < mGroups[g].buttons.size(); ++l) {
            AE::ISceneNode* button = mGroups[g].buttons[l];
            if (!button || !button->hitTest(x, y, true)) continue;
            // A hit is used even when the level may not be opened yet.
            if (kind == 2 && isLevelClickable(episode, int32_t(g), int32_t(l), mMode->getCurrentLevel()))
                selectLevel(int32_t(g), int32_t(l));
            return true;
        }
        if (episode.mParts[g]->mClosed) break;
    }
    return false;
}

void MainModeMapState::selectLevel(int32_t part, int32_t level) {
    const EpisodeList& episodes = mMode->getEpisodes();
    if (mEpisodeIndex < 0 || size_t(mEpisodeIndex) >= episodes.size()) return;
    const Episode& episode = *episodes[size_t(mEpisodeIndex)];
    if (part < 0 || size_t(part) >= episode.mParts.size()) return;
    const EpisodePart& parts = *episode.mParts[size_t(part)];
    if (level < 0 || size_t(level) >= parts.mLevels.size()) return;
    mSelectedPart = part;
    mSelectedLevel = level;
    if (!mLevelWindow) return;
    const EpisodeLevel& record = *parts.mLevels[size_t(level)];
    const std::string script = record.mFile + mMode->getSuffix() + "_lua";
    LevelPreview preview;
    if (!readLevelPreview(record, script, &preview)) {
        QV::logLine(QV::formatString("ERROR: The level script %s has no table GameField", script.c_str()));
        return;
    }
    if (const PlayerProfile* player = profile()) fillPassiveSlots(*player, &preview);
    QV::logLine(QV::formatString("MainModeMapState: level window of part %d level %d", part, level));
    mLevelWindow->openForLevel(preview, false);
}

void MainModeMapState::startSelectedLevel() {
    QV::logLine(QV::formatString("MainModeMapState: starting episode %d, part %d, level %d", mEpisodeIndex,
                                 mSelectedPart, mSelectedLevel));
    if (!mMode->startLevel(mEpisodeIndex, mSelectedPart, mSelectedLevel))
        QV::logLine(QV::formatString("ERROR: The level %d of part %d of episode %d could not be started", mSelectedLevel,
                                     mSelectedPart, mEpisodeIndex));
}

void MainModeMapState::bindCommands() {
    QV::LexBindedFunctionManager* commands = QV::LexBindedFunctionManager::instance();
    using Binder = QV::LexBinder<MainModeMapState>;
    commands->registerBinder("showMenu", new Binder(this, &MainModeMapState::showMenu));
    commands->registerBinder("showBuyGoldWindow", new Binder(this, &MainModeMapState::showBuyGoldWindow));
    commands->registerBinder("showBuySilverWindow", new Binder(this, &MainModeMapState::showBuySilverWindow));
    commands->registerBinder("showBuyStarsWindow", new Binder(this, &MainModeMapState::showBuyStarsWindow));
    commands->registerBinder("buyHolidayPurchase", new Binder(this, &MainModeMapState::buyHolidayPurchase));
    commands->registerBinder("showMail", new Binder(this, &MainModeMapState::showMail));
}

void MainModeMapState::unbindCommands() {
    QV::LexBindedFunctionManager* commands = QV::LexBindedFunctionManager::instancePointer();
    if (!commands) return;
    for (const char* name : kCommands) commands->unregisterBinder(name);
}

void MainModeMapState::unload() {
    if (!isLoaded()) return;
    // Windows left open stay with this state: none waits to pop up in the next.
    hideWindowsForcibly();
    // The bonus window closed unanswered: the day is offered again next time.
    mBonusDay = 0;
    unbindCommands();
    mSocial->attach(nullptr);
    mGroups.clear();
    mHoveredButton = nullptr;
    delete mMapRoot;
    mMapRoot = nullptr;
    if (QV::UIManager* ui = QV::UIManager::instancePointer(); ui && mInterface) ui->destroyWidget(mInterface);
    mInterface = nullptr;
    mInterfaceScene = mSilverText = mGoldText = mStarsText = mActionPanel = nullptr;
    setLoaded(false);
}

void MainModeMapState::refreshTopPanel() {
    const PlayerProfile* player = profile();
    if (!player) return;
    setNumber(mSilverText, player->mSilver);
    setNumber(mGoldText, player->mGold);
    setNumber(mStarsText, player->getStars());
}

void MainModeMapState::offerEverydayBonus() {
    mBonusChecked = true;
    const PlayerProfile* player = profile();
    if (!player || !mBonusWindow || mBonusDay != 0) return;
    mBonusDay = dueEverydayBonusDay(*player, uint64_t(std::time(nullptr)));
    if (mBonusDay == 0) return;
    QV::logLine(QV::formatString("MainModeMapState: everyday bonus of day %d", mBonusDay));
    mBonusWindow->show(true);
}

void MainModeMapState::update(float dt) {
    if (!isLoaded()) return;
    if (!mBonusChecked) offerEverydayBonus();
    mSocial->update(dt);
    if (mMapRoot) mMapRoot->update(dt);
    refreshTopPanel();
    if (!windowsOpen()) handleButtonInput();
    QV::InputManager* input = QV::InputManager::instancePointer();
    const QV::KeyboardDevice* keyboard = input ? input->getKeyboard() : nullptr;
    if (keyboard && keyboard->isKeyReleased(kEscapeKey) && !windowsOpen()) showMenu();
}

void MainModeMapState::render() {
    if (!isLoaded()) return;
    if (mMapRoot) AE::drawScene(mMapRoot);
    if (QV::UIManager* ui = QV::UIManager::instancePointer()) ui->draw();
}

void MainModeMapState::onOrientationChanged(int) {
    if (mMapRoot) adaptSceneLayout(mMapRoot);
    if (!mInterface) return;
    if (mInterfaceScene) adaptSceneLayout(mInterfaceScene);
    for (QV::UIWidget* child : mInterface->mChildren) adaptWidgetLayout(child);
}

void MainModeMapState::onWindowClosed(DialogWindow* window) {
    if (window == mMenuWindow) {
        if (mMenuWindow->mResult == 0) {
            if (GameStateManager* states = GameStateManager::instancePointer()) states->setState("MainMenu");
        }
        return;
    }
    if (window == mLevelWindow) {
        // Opened over a level (a replay), the window is the main mode's to answer.
        if (isLoaded() && mLevelWindow->mResult == PlayLevelWindow::Play && mSelectedLevel != -1) startSelectedLevel();
        return;
    }
    if (window != mBonusWindow || mBonusDay == 0) return;
    PlayerProfile* player = profile();
    const int32_t day = mBonusDay;
    mBonusDay = 0;
    if (!player) return;
    // The day counts as taken only once its pack is paid.
    player->mDayStamp = uint64_t(std::time(nullptr)) / kDay * kDay;
    player->mDayIndex = day;
    for (const auto& [amount, currency] : Store::getBonusPack(day)) {
        const char* marker = nullptr;
        if (currency == 1) {
            player->setSilver(player->mSilver + amount);
            marker = "getSilver";
        } else if (currency == 2) {
            player->setGold(player->mGold + amount);
            marker = "getGold";
        }
        if (AE::Marker* played = marker && mInterfaceScene ? mInterfaceScene->findMarker(marker) : nullptr)
            played->play(true);
    }
    if (GameProperties* properties = GameProperties::instancePointer()) properties->saveProfile();
    QV::logLine(QV::formatString("MainModeMapState: everyday bonus of day %d paid", day));
}

void MainModeMapState::showMenu() {
    if (!mMenuWindow) {
        if (!QV::UIManager::instancePointer()) return;
        mMenuWindow = new MapMenuWindow();
        mMenuWindow->addListener(this);
    }
    mMenuWindow->open();
}

void MainModeMapState::showBuyGoldWindow() { openShop(2); }
void MainModeMapState::showBuySilverWindow() { openShop(1); }
void MainModeMapState::showBuyStarsWindow() { openShop(3); }

void MainModeMapState::buyHolidayPurchase() {
    // Our interface keeps the holiday action's panel disabled: no holiday runs here.
    if (!mActionPanel || !mActionPanel->mEnabled) return;
    if (!mHolidayWindow) mHolidayWindow = new HolidayPurchaseWindow();
    mHolidayWindow->show(false);
}
