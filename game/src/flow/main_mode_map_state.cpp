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
                                     "buyHolidayPurchase"};

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
    }
}

MainModeMapState::~MainModeMapState() {
    delete mBonusWindow;
    mBonusWindow = nullptr;
    delete mHolidayWindow;
    mHolidayWindow = nullptr;
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
        showLevelTitles();
    } else {
        QV::logLine(QV::formatString("ERROR: The map of episode %d has no scene to show", mEpisodeIndex));
    }
    bindCommands();

    if (QV::UIManager* ui = QV::UIManager::instancePointer()) {
        mInterface = ui->loadUI("map_interface_ui", "MapInterface", nullptr, "default");
        if (mInterface) mInterface->show();
    }
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
    mBonusChecked = false;
    setLoaded(true);
}

void MainModeMapState::showLevelTitles() {
    const Episode* episode = mMode->getEpisodes()[size_t(mEpisodeIndex)];
    for (const EpisodePart* part : episode->mParts)
        for (const EpisodeLevel* level : part->mLevels) {
            AE::ISceneNode* place = mMapRoot->findNode("#" + level->mFile);
            AE::ISceneNode* text = place ? place->findNode("text") : nullptr;
            if (!text || text->getType() != AE::kTextNode) continue;
            auto* title = static_cast<AE::TextSceneNode*>(text);
            title->mTranslate = level->mTitleIsTextId;
            title->setText(level->mTitle);
        }
}

void MainModeMapState::bindCommands() {
    QV::LexBindedFunctionManager* commands = QV::LexBindedFunctionManager::instance();
    using Binder = QV::LexBinder<MainModeMapState>;
    commands->registerBinder("showMenu", new Binder(this, &MainModeMapState::showMenu));
    commands->registerBinder("showBuyGoldWindow", new Binder(this, &MainModeMapState::showBuyGoldWindow));
    commands->registerBinder("showBuySilverWindow", new Binder(this, &MainModeMapState::showBuySilverWindow));
    commands->registerBinder("showBuyStarsWindow", new Binder(this, &MainModeMapState::showBuyStarsWindow));
    commands->registerBinder("buyHolidayPurchase", new Binder(this, &MainModeMapState::buyHolidayPurchase));
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
    if (mMapRoot) mMapRoot->update(dt);
    refreshTopPanel();
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
    if (GameStateManager* states = GameStateManager::instancePointer()) states->setState("MainMenu");
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
