#include "flow/main_mode_map_state.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "animationeditor/marker.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/text_scene_node.h"
#include "animationeditor/movie_camera.h"
#include "dialogs/blocker_message_window.h"
#include "dialogs/buy_heart_window.h"
#include "dialogs/buy_valuta_window.h"
#include "dialogs/dialog_window_manager.h"
#include "dialogs/everyday_bonus_window.h"
#include "dialogs/holiday_purchase_window.h"
#include "dialogs/level_preview.h"
#include "dialogs/map_menu_window.h"
#include "dialogs/window_nodes.h"
#include "dialogs/play_level_window.h"
#include "format_string.h"
#include "function.h"
#include "player/game_properties.h"
#include "flow/game_state_manager.h"
#include "input_manager.h"
#include "mouse_device.h"
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
#include "render_system.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_widget.h"

namespace {

constexpr uint8_t kEscapeKey = 0x1B;
constexpr uint64_t kDay = 86400;
constexpr int32_t kBonusDays = 5;
constexpr const char* kCommands[] = {"showMenu", "showMail", "showBuyGoldWindow", "showBuySilverWindow",
                                     "showBuyStarsWindow", "buyHolidayPurchase"};
constexpr float kPanTime = 0.6f;
constexpr float kWalkTime = 0.6f;
constexpr float kFlightTime = 0.42f;
constexpr float kSilverDelay = 0.9f;
constexpr float kGlideSpeed = 300.0f;
constexpr float kWheelImpulse = 2000.0f;

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

// The translation of the node's own world matrix.
QV::Vector2<float> worldPoint(const AE::ISceneNode* node) {
    return node ? QV::Vector2<float>(node->mWorldMatrix.m20, node->mWorldMatrix.m21) : QV::Vector2<float>();
}

QV::Vector2<float> worldPointOf(AE::ISceneNode* node, const char* child) {
    return worldPoint(node ? node->findNode(child) : nullptr);
}

QV::Vector2<float> designSize() {
    GameStateManager* states = GameStateManager::instancePointer();
    return states ? states->getDesignScreenSize() : QV::Vector2<float>(1280.0f, 720.0f);
}

QV::Vector2<float> lerp(const QV::Vector2<float>& start, const QV::Vector2<float>& target, float remaining, float full) {
    const float f = remaining / full;
    return QV::Vector2<float>(target.x - (target.x - start.x) * f, target.y - (target.y - start.y) * f);
}

float clampTo(float v, float low, float high) {
    if (v < low) return low;
    if (v > high) return high;
    return v;
}

bool partComplete(const EpisodePart* part) {
    if (!part || part->mClosed) return false;
    for (const EpisodeLevel* level : part->mLevels)
        if (!level->mCompleted) return false;
    return true;
}

bool episodeComplete(const Episode* episode) {
    for (const EpisodePart* part : episode->mParts)
        if (!partComplete(part)) return false;
    return true;
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
        mHeartWindow = new BuyHeartWindow(mode);
        mHeartWindow->addListener(this);
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
    delete mHeartWindow;
    mHeartWindow = nullptr;
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
    mFlightTimer = 0.0f;
    mHoveredButton = nullptr;
    mOpenPhase = 0;
    mBlockerOpenMarker = nullptr;
    mPendingShow = nullptr;
    mMovePhase = 0;
    mListened.clear();
    if (QV::UIManager::instancePointer() && !mBlockerWindow) mBlockerWindow = new BlockerMessageWindow();
    mMode->updateProgress();
    if (mEpisodeIndex == -1) mEpisodeIndex = mMode->getCurrentEpisode();
    const EpisodeList& episodes = mMode->getEpisodes();
    // A finished episode whose successor the stars open: its opening plays at the end of the finished map.
    if (mEpisodeIndex > 0 && size_t(mEpisodeIndex) < episodes.size()) {
        const Episode* shown = episodes[size_t(mEpisodeIndex)];
        const PlayerProfile* player = profile();
        if (!shown->mParts.empty() && shown->mParts[0]->mClosed && episodeComplete(episodes[size_t(mEpisodeIndex) - 1]) &&
            player && player->getStars() >= Store::getStarsRequirement(shown->mParts[0]->mId))
            mEpisodeIndex -= 1;
    }
    if (mEpisodeIndex >= 0 && size_t(mEpisodeIndex) < episodes.size())
        mMapRoot = AE::loadScene(episodes[size_t(mEpisodeIndex)]->mMapScene);
    if (mMapRoot) {
        mMapRoot->update(0.0f);
        loadAwardScenes();
        if (AE::Marker* init = mMapRoot->getMarker("init")) init->play(true);
        buildLevelButtons();
        mCamera = mMapRoot->findNode("#camera");
        if (mCamera && mCamera->getType() == AE::kMovieCamera) {
            if (mCamera->mParent) mCamera->mParent->mActiveCamera = static_cast<AE::MovieCamera*>(mCamera);
            readCameraBounds();
        } else {
            mCamera = nullptr;
            QV::logLine(QV::formatString("ERROR: The map of episode %d has no camera '#camera'; it does not scroll",
                                         mEpisodeIndex));
        }
        mPlayerScene = AE::loadScene("player_scene_xml");
        if (mPlayerScene) {
            playMarker(mPlayerScene, "init");
            mMapRoot->addChild(mPlayerScene, AE::KeepTransform::Local);
        }
        mMapRoot->update(0.0f);
        buildBlockers();
        refreshLevelButtons();
        mDragging = mSettling = mInertia = false;
        // The parts already passed show their map's opening.
        const Episode& episode = *episodes[size_t(mEpisodeIndex)];
        for (int32_t k = 0; k < mMode->getCurrentPart() && size_t(k) < episode.mParts.size(); ++k)
            if (AE::Marker* open = mMapRoot->findMarker(episode.mParts[size_t(k)]->mOpenMarker)) open->play(true);
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
        mInterfaceScene->stop(true);
        mTopPanel = mInterfaceScene->findNode("top_panel");
        mTimeText = mInterfaceScene->findNode("#timeText");
        mHeartText = mInterfaceScene->findNode("#heartText");
        mSilverText = mInterfaceScene->findNode("#silver");
        mGoldText = mInterfaceScene->findNode("#gold");
        mStarsText = mInterfaceScene->findNode("#stars");
        mActionPanel = mInterfaceScene->findNode("#action_panel");
        mSilverIcon = mInterfaceScene->findNode("#silverIcon");
        mStarIcon = mInterfaceScene->findNode("#starIcon");
    } else if (mInterface) {
        QV::logLine("ERROR: The map interface 'map_interface_ui' has no scene widget 'gui'; the top panel is not shown");
    }
    mSelectedPart = mMode->getCurrentPart();
    mSelectedLevel = mMode->getCurrentLevel();
    if (mMarkerLevel == -1) {
        mMarkerPart = mMode->getCurrentPart();
        mMarkerLevel = mMode->getCurrentLevel() - (mAutoAdvance ? 1 : 0);
        if (mMarkerLevel < 0) mMarkerLevel = 0;
    }
    GameStateManager* states = GameStateManager::instancePointer();
    onOrientationChanged(states ? states->getOrientation() : 0);
    placeCameraAtStart();
    if (mMapRoot) {
        replaceMeshPlaceholders(mMapRoot);
        updateScrolling(0.0f);
        mMapRoot->update(0.0f);
    }
    if (mAwardStar) mAwardStar->setEnabled(false);
    if (mAwardSilver) mAwardSilver->setEnabled(false);
    refreshTopPanel();
    if (mMapRoot) {
        if (AE::ISceneNode* next = mMapRoot->findNode("@nextEpisode")) {
            mNextButton = new MapButton(next, this);
            playMarker(next, "regular");
        }
        if (AE::ISceneNode* prev = mMapRoot->findNode("@prevEpisode")) {
            mPrevButton = new MapButton(prev, this);
            playMarker(prev, "regular");
        }
    }
    mBonusChecked = false;
    setLoaded(true);
}

void MainModeMapState::loadAwardScenes() {
    mAwardStar = AE::loadScene("award_star_xml");
    mAwardSilver = AE::loadScene("award_silver_xml");
    for (AE::ISceneNode* award : {mAwardStar, mAwardSilver}) {
        if (!award) continue;
        award->stop(true);
        mMapRoot->addChild(award, AE::KeepTransform::World);
    }
}

void MainModeMapState::readCameraBounds() {
    if (!mCamera) return;
    for (const AE::Marker* marker : mCamera->mMarkers) readCameraMarker(marker->mName, &mCameraConfig);
}

void MainModeMapState::buildBlockers() {
    AE::ISceneNode* blockerScene = AE::loadScene("blocker_scene_xml");
    for (size_t i = 0; i < mGroups.size(); ++i) {
        AE::ISceneNode* place = mMapRoot->findNode(QV::formatString("#blocker:%d", int(i)));
        mGroups[i].blocker = nullptr;
        if (!place || !place->mParent || !blockerScene) continue;
        AE::ISceneNode* blocker = blockerScene->clone(nullptr);
        blocker->mName = place->mName;
        blocker->setPosition(place->getPosition());
        blocker->updateTransform();
        place->mParent->addChild(blocker, AE::KeepTransform::World);
        delete place;
        mGroups[i].blocker = blocker;
    }
    delete blockerScene;
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

AE::ISceneNode* MainModeMapState::buttonAt(int32_t part, int32_t level) const {
    if (part < 0 || size_t(part) >= mGroups.size()) return nullptr;
    const LevelButtonGroup& group = mGroups[size_t(part)];
    if (level < 0 || size_t(level) >= group.buttons.size()) return nullptr;
    return group.buttons[size_t(level)];
}

void MainModeMapState::refreshLevelButtons() {
    const EpisodeList& episodes = mMode->getEpisodes();
    const Episode& episode = *episodes[size_t(mEpisodeIndex)];
    for (const LevelButtonGroup& group : mGroups) {
        if (!group.blocker || !group.part) continue;
        if (AE::TextSceneNode* stars = window_nodes::text(group.blocker, "#stars"))
            stars->setText(QV::formatString("%d", Store::getStarsRequirement(group.part->mId)));
        playMarker(group.blocker, "init");
        if (!group.part->mClosed)
            if (AE::Marker* open = group.blocker->findMarker("open")) open->skipToEnd();
    }
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
    mTimer = 0.0f;
    mMovePhase = 0;
    mPendingShow = nullptr;
    mBlockerOpenMarker = nullptr;
    mOpenPhase = 0;
    if (!mPlayerScene) return;
    // The player's marker stands where the player is: on this map only.
    const bool current = mEpisodeIndex == mMode->getCurrentEpisode();
    mPlayerScene->setEnabled(false);
    if (!current) {
        const int32_t next = mEpisodeIndex + 1;
        if (next == mMode->getCurrentEpisode() && size_t(next) < episodes.size() && !episodes[size_t(next)]->mParts.empty() &&
            episodes[size_t(next)]->mParts[0]->mClosed && !episode.mParts.empty()) {
            const int32_t last = int32_t(episode.mParts.size()) - 1;
            AE::ISceneNode* button = buttonAt(last, int32_t(episode.mParts.back()->mLevels.size()) - 1);
            if (button) {
                mPlayerScene->setEnabled(true);
                mPlayerScene->setWorldPosition(worldPointOf(button, "#user"));
            }
        }
        return;
    }
    int32_t part = mMode->getCurrentPart(), level = mMode->getCurrentLevel();
    if (part > 0 && size_t(part) < episode.mParts.size() && episode.mParts[size_t(part)]->mClosed) {
        part -= 1;
        level = int32_t(episode.mParts[size_t(part)]->mLevels.size()) - 1;
    }
    AE::ISceneNode* button = buttonAt(part, level);
    if (!button) return;
    mPlayerScene->setEnabled(true);
    if (!mMoveRequest) {
        playMarker(button, "select");
        mPlayerStart = worldPointOf(button, "#user");
    }
    mPlayerScene->setWorldPosition(mPlayerStart);
}

bool MainModeMapState::handleButtonInput() {
    QV::InputManager* input = QV::InputManager::instancePointer();
    if (!input || !input->getMouse() || !mMapRoot || windowsOpen()) return false;
    if (mInertia || mMovePhase != 0 || mPendingShow) return false;
    if (mInterface && mInterface->isHovered()) return false;
    const QV::Vector2<int> pointer = input->getMousePosition();
    const QV::Vector2<float> at = scenePoint(QV::Vector2<float>(float(pointer.x), float(pointer.y)));
    const int x = int(std::trunc(at.x)), y = int(std::trunc(at.y));
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
        const LevelButtonGroup& group = mGroups[g];
        if (g > 0 && episode.mParts[g]->mClosed && partComplete(episode.mParts[g - 1]) && group.blocker &&
            group.blocker->hitTest(x, y, true)) {
            if (kind == 2 && mBlockerWindow) mBlockerWindow->show(true);
            return true;
        }
        for (size_t l = 0; l < group.buttons.size(); ++l) {
            AE::ISceneNode* button = group.buttons[l];
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
    mMarkerPart = part;
    mMarkerLevel = level;
    // Without a heart the heart window comes first; its close brings the level window.
    if (mMode->getHearts() <= 0 && mHeartWindow) {
        QV::logLine(QV::formatString("MainModeMapState: no heart for part %d level %d", part, level));
        mHeartWindow->show(false);
        return;
    }
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
    commands->registerBinder("showMail", new Binder(this, &MainModeMapState::showMail));
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
    mSocial->attach(nullptr);
    for (AE::Marker* marker : mListened) marker->removeListener(this);
    mListened.clear();
    mCameraStart = getCameraPosition();
    mGroups.clear();
    mHoveredButton = nullptr;
    delete mMapRoot;
    mMapRoot = nullptr;
    mCamera = nullptr;
    mPlayerScene = mAwardStar = mAwardSilver = nullptr;
    mPendingShow = mBlockerOpenMarker = nullptr;
    delete mNextButton;
    mNextButton = nullptr;
    delete mPrevButton;
    mPrevButton = nullptr;
    // One blocker window per visit: the next build makes its own.
    delete mBlockerWindow;
    mBlockerWindow = nullptr;
    if (QV::UIManager* ui = QV::UIManager::instancePointer(); ui && mInterface) ui->destroyWidget(mInterface);
    mInterface = nullptr;
    mInterfaceScene = mSilverText = mGoldText = mStarsText = mActionPanel = nullptr;
    mTopPanel = mTimeText = mHeartText = mSilverIcon = mStarIcon = nullptr;
    setLoaded(false);
}

void MainModeMapState::refreshTopPanel() {
    const PlayerProfile* player = profile();
    if (!player) return;
    setNumber(mSilverText, player->mSilver - mPendingSilver);
    setNumber(mGoldText, player->mGold);
    setNumber(mStarsText, player->getStars() - mPendingStars);
    refreshHearts();
}

void MainModeMapState::refreshHearts() {
    setNumber(mHeartText, mMode->getHearts());
    const int64_t seconds = heartCountdownSeconds(mMode->getHearts(), mMode->getHeartTime(), int64_t(std::time(nullptr)));
    if (mTimeText && mTimeText->getType() == AE::kTextNode)
        static_cast<AE::TextSceneNode*>(mTimeText)->setText(seconds < 0 ? std::string() : heartCountdownText(seconds));
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
    if (mMapRoot) {
        if (mMoveRequest) beginPlayerMove();
        checkEpisodeOpening();
        if (mAwardFlights) updateAwardFlights(dt);
    }
    if (!windowsOpen() && mMapRoot) {
        updatePlayerMove(dt);
        updateEpisodeOpening(dt);
        if (mDragging || !handleButtonInput()) updateScrolling(dt);
    }
    if (!mAwardFlights) refreshTopPanel();
    else refreshHearts();
    QV::InputManager* input = QV::InputManager::instancePointer();
    const QV::KeyboardDevice* keyboard = input ? input->getKeyboard() : nullptr;
    if (keyboard && keyboard->isKeyReleased(kEscapeKey) && !windowsOpen() && !mAwardFlights && mMovePhase == 0 &&
        mOpenPhase == 0)
        showMenu();
    // A page turn rebuilds the map: nothing of this build may be touched after it.
    if (!windowsOpen() && mNextButton) mNextButton->update();
    if (isLoaded() && !windowsOpen() && mPrevButton) mPrevButton->update();
}

void MainModeMapState::render() {
    if (!isLoaded()) return;
    if (mMapRoot) AE::drawScene(mMapRoot);
    if (QV::UIManager* ui = QV::UIManager::instancePointer()) ui->draw();
}

void MainModeMapState::onOrientationChanged(int portrait) {
    if (mMapRoot) adaptSceneLayout(mMapRoot);
    if (mInterface) {
        if (mInterfaceScene) adaptSceneLayout(mInterfaceScene);
        for (QV::UIWidget* child : mInterface->mChildren) adaptWidgetLayout(child);
    }
    mSettling = true;
    mBounds = portrait ? mCameraConfig.portrait : mCameraConfig.landscape;
    const QV::Vector2<float> size = designSize();
    float a = 0.0f, b = 0.0f;
    if (QV::RenderSystem* render = QV::Singleton<QV::RenderSystem>::instancePointer()) {
        QV::Vector2<float> fitSize, fitOffset;
        float scale = 1.0f;
        render->getWorkspaceFit(fitSize, fitOffset, scale);
        if (scale > 0.0f) {
            a = -std::min(fitOffset.x, 0.0f) / scale;
            b = -std::min(fitOffset.y, 0.0f) / scale;
        }
    }
    if (mBounds.minX != mBounds.maxX) {
        mBounds.minX -= a;
        mBounds.maxX -= size.x - 2 * a;
    }
    if (mBounds.minY != mBounds.maxY) {
        mBounds.minY -= b;
        mBounds.maxY -= size.y - 2 * b;
    }
    if (isLoaded() || mMapRoot) updateScrolling(0.0f);
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
    if (window == mHeartWindow) {
        // Closed without a heart, the level window would only bring the heart window back.
        if (isLoaded() && mMode->getHearts() > 0) selectLevel(mSelectedPart, mSelectedLevel);
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

// The requests window comes with the social layer; until then there is no mail to show.
void MainModeMapState::showBuyGoldWindow() { openShop(2); }
void MainModeMapState::showBuySilverWindow() { openShop(1); }
void MainModeMapState::showBuyStarsWindow() { openShop(3); }

void MainModeMapState::buyHolidayPurchase() {
    // Our interface keeps the holiday action's panel disabled: no holiday runs here.
    if (!mActionPanel || !mActionPanel->mEnabled) return;
    if (!mHolidayWindow) mHolidayWindow = new HolidayPurchaseWindow();
    mHolidayWindow->show(false);
}

// ---- camera and scrolling ----

QV::Vector2<float> MainModeMapState::getCameraPosition() const {
    return mCamera ? mCamera->getPosition() : QV::Vector2<float>();
}

void MainModeMapState::setCameraPosition(const QV::Vector2<float>& position) {
    if (mCamera) mCamera->setPosition(position);
}

QV::Vector2<float> MainModeMapState::scenePoint(const QV::Vector2<float>& screen) const {
    if (!mCamera) return screen;
    const QV::Vector2<float> size = designSize();
    const QV::Camera view = mCamera->getWorldTransform();
    const float zx = mCamera->getScale().x != 0.0f ? mCamera->getScale().x : 1.0f;
    const float zy = mCamera->getScale().y != 0.0f ? mCamera->getScale().y : 1.0f;
    return QV::Vector2<float>((size.x / 2 - view.x) + (screen.x - size.x / 2) / zx,
                              (size.y / 2 - view.y) + (screen.y - size.y / 2) / zy);
}

QV::Vector2<float> MainModeMapState::cameraPositionForLevel(int32_t part, int32_t level) const {
    AE::ISceneNode* button = buttonAt(part, level);
    if (!button || !mCamera) return QV::Vector2<float>(mBounds.minX, mBounds.minY);
    const QV::Vector2<float> size = designSize();
    const QV::Vector2<float> at = worldPoint(button);
    const float zx = mCamera->getScale().x != 0.0f ? mCamera->getScale().x : 1.0f;
    const float zy = mCamera->getScale().y != 0.0f ? mCamera->getScale().y : 1.0f;
    return QV::Vector2<float>(clampTo(at.x - size.x / 2 / zx, mBounds.minX, mBounds.maxX),
                              clampTo(at.y - size.y / 2 / zy, mBounds.minY, mBounds.maxY));
}

void MainModeMapState::placeCameraAtStart() {
    if (!mCamera) return;
    GameStateManager* states = GameStateManager::instancePointer();
    const CameraBounds& raw = states && states->getOrientation() ? mCameraConfig.portrait : mCameraConfig.landscape;
    // A page turn lands at that edge of the map, wherever the old camera stood
    // (the origin is a place on our maps, not a missing value).
    if (mCameraJump != 0) {
        mCameraStart = QV::Vector2<float>(raw.minX, mCameraJump == 1 ? raw.maxY : raw.minY);
        mCameraJump = 0;
    }
    if (mCameraStart.x == 0.0f && mCameraStart.y == 0.0f)
        mCameraStart = cameraPositionForLevel(mMode->getCurrentPart(), mMode->getCurrentLevel());
    setCameraPosition(mCameraStart);
    // A start outside the bounds (a page turn's edge) glides in.
    mSettling = true;
}

void MainModeMapState::updateScrolling(float dt) {
    if (!mCamera) return;
    QV::InputManager* input = QV::InputManager::instancePointer();
    QV::MouseDevice* mouse = input ? input->getMouse() : nullptr;
    QV::Vector2<float> c = getCameraPosition();
    QV::Vector2<float> m;
    if (mouse) {
        const QV::Vector2<int> p = input->getMousePosition();
        m = QV::Vector2<float>(float(p.x), float(p.y));
    }
    if (mouse && mMovePhase == 0 && !mAwardFlights) {
        if (mDragging) {
            if (input->isMouseReleased()) {
                mDragging = false;
                mSettling = true;
                mVelocity = releaseVelocity(mDragLast, m, dt);
                mInertia = mVelocity.x != 0.0f || mVelocity.y != 0.0f;
            } else {
                c.x += mDragLast.x - m.x;
                c.y += mDragLast.y - m.y;
                mDragLast = m;
            }
        } else {
            if (input->isMousePressed()) {
                const bool overInterface = mInterfaceScene && mInterfaceScene->hitTest(int(m.x), int(m.y), false);
                const bool overArrow = (mNextButton && mNextButton->getState() != MapButton::Regular) ||
                                       (mPrevButton && mPrevButton->getState() != MapButton::Regular);
                if (overArrow) return;
                if (!overInterface) {
                    mVelocity = QV::Vector2<float>(0.0f, 0.0f);
                    mDragging = true;
                    mSettling = false;
                    mDragLast = m;
                }
            }
            const int32_t wheel = mouse->getWheel();
            if (wheel != 0) {
                mVelocity.y += wheel > 0 ? -kWheelImpulse : kWheelImpulse;
                mSettling = true;
                mInertia = true;
            }
        }
    }
    if (mInertia) mInertia = inertiaStep(&c, &mVelocity, dt);
    // Limits: the margin lets a drag overshoot, but never a walk's camera.
    const float ox = mMovePhase == 0 ? mCameraConfig.overscroll.x : 0.0f;
    const float oy = mMovePhase == 0 ? mCameraConfig.overscroll.y : 0.0f;
    if (c.x < mBounds.minX - ox) { c.x = mBounds.minX - ox; mVelocity.x = 0.0f; }
    else if (c.x > mBounds.maxX + ox) { c.x = mBounds.maxX + ox; mVelocity.x = 0.0f; }
    if (c.y < mBounds.minY - oy) { c.y = mBounds.minY - oy; mVelocity.y = 0.0f; }
    else if (c.y > mBounds.maxY + oy) { c.y = mBounds.maxY + oy; mVelocity.y = 0.0f; }
    if (mInertia && mVelocity.x == 0.0f && mVelocity.y == 0.0f) mInertia = false;
    if (mSettling && !mDragging && !mInertia) {
        const auto glide = [](float v, float low, float high) {
            if (std::trunc(v) < std::trunc(low)) return kGlideSpeed;
            if (std::trunc(v) > std::trunc(high)) return -kGlideSpeed;
            return 0.0f;
        };
        const QV::Vector2<float> g(glide(c.x, mBounds.minX, mBounds.maxX), glide(c.y, mBounds.minY, mBounds.maxY));
        mSettling = g.x != 0.0f || g.y != 0.0f;
        const QV::Vector2<float> s(g.x * dt, g.y * dt);
        c.x += s.x;
        c.y += s.y;
        if (std::fabs(s.x) > std::fabs(c.x - mBounds.minX)) c.x = mBounds.minX;
        else if (std::fabs(s.x) > std::fabs(c.x - mBounds.maxX)) c.x = mBounds.maxX;
        if (std::fabs(s.y) > std::fabs(c.y - mBounds.minY)) c.y = mBounds.minY;
        else if (std::fabs(s.y) > std::fabs(c.y - mBounds.maxY)) c.y = mBounds.maxY;
    }
    setCameraPosition(QV::Vector2<float>(std::trunc(c.x), std::trunc(c.y)));
}

void MainModeMapState::onMapButton(MapButton* button) {
    const int32_t episodes = int32_t(mMode->getEpisodes().size());
    if (button == mPrevButton) {
        const int32_t index = mEpisodeIndex - 1;
        if (index >= 0) showEpisode(index);
        mCameraJump = 2;
    } else if (button == mNextButton) {
        const int32_t index = mEpisodeIndex + 1;
        if (index < episodes) showEpisode(index);
        mCameraJump = 1;
    }
}

void MainModeMapState::showEpisode(int32_t index) {
    QV::logLine(QV::formatString("MainModeMapState: episode %d", index));
    mMarkerPart = mMarkerLevel = -1;
    mCameraStart = QV::Vector2<float>(0.0f, 0.0f);
    mEpisodeIndex = index;
    onDeactivate();
    onActivate();
}

// ---- progression: opening parts, the marker's walk, award flights ----

void MainModeMapState::listen(AE::Marker* marker) {
    if (!marker) return;
    marker->addListener(this);
    if (std::find(mListened.begin(), mListened.end(), marker) == mListened.end()) mListened.push_back(marker);
}

void MainModeMapState::stopListening(AE::Marker* marker) {
    if (!marker) return;
    marker->removeListener(this);
    mListened.erase(std::remove(mListened.begin(), mListened.end(), marker), mListened.end());
}

void MainModeMapState::startAwardFlights(int32_t stars) {
    mAwardFlights = true;
    mPendingStars = std::max(stars, 0);
}

void MainModeMapState::addPendingSilver(int32_t silver) {
    mAwardFlights = true;
    mPendingSilver = std::max(silver, 0);
}

void MainModeMapState::requestPlayerMove(bool walk, bool autoAdvance) {
    mMoveRequest = true;
    mWalk = walk;
    mAutoAdvance = autoAdvance;
}

void MainModeMapState::checkEpisodeOpening() {
    if (mOpenPhase != 0) return;
    const PlayerProfile* player = profile();
    const int32_t stars = player ? player->getStars() : 0;
    const EpisodeList& episodes = mMode->getEpisodes();
    const Episode& episode = *episodes[size_t(mEpisodeIndex)];
    const int32_t current = mMode->getCurrentPart();
    if (mEpisodeIndex == mMode->getCurrentEpisode() && current >= 0 && size_t(current) < episode.mParts.size()) {
        const EpisodePart* part = episode.mParts[size_t(current)];
        if (part->mClosed && stars >= Store::getStarsRequirement(part->mId)) {
            AE::ISceneNode* blocker = size_t(current) < mGroups.size() ? mGroups[size_t(current)].blocker : nullptr;
            if (!blocker || !blocker->findMarker("open")) {
                // No blocker to play: the part opens at once.
                const_cast<EpisodePart*>(part)->mClosed = false;
                return;
            }
            QV::logLine(QV::formatString("MainModeMapState: part %d opens", current));
            mOpenPhase = 1;
            mCameraStart = getCameraPosition();
            const QV::Vector2<float> size = designSize();
            const QV::Vector2<float> at = worldPoint(blocker);
            const float zx = mCamera && mCamera->getScale().x != 0.0f ? mCamera->getScale().x : 1.0f;
            const float zy = mCamera && mCamera->getScale().y != 0.0f ? mCamera->getScale().y : 1.0f;
            mCameraTarget = QV::Vector2<float>(clampTo(at.x - size.x / 2 / zx, mBounds.minX, mBounds.maxX),
                                               clampTo(at.y - size.y / 2 / zy, mBounds.minY, mBounds.maxY));
            mTimer = kPanTime;
            return;
        }
    }
    if (mGroups.empty()) return;
    LevelButtonGroup& last = mGroups.back();
    EpisodePart* part = const_cast<EpisodePart*>(last.part);
    if (!part || !part->mClosed || stars < Store::getStarsRequirement(part->mId)) return;
    // The next episode's first part, or the last part of the last episode; only
    // once everything before it is won, so no part opens ahead of the player.
    const bool lastEpisode = size_t(mEpisodeIndex) + 1 >= episodes.size();
    const bool before = lastEpisode ? (mGroups.size() < 2 || partComplete(mGroups[mGroups.size() - 2].part))
                                    : episodeComplete(&episode);
    if (!before) return;
    part->mClosed = false;
    if (GameProperties* properties = GameProperties::instancePointer()) properties->saveProfile();
    if (lastEpisode) {
        playMarker(last.blocker, "open");
        return;
    }
    QV::logLine(QV::formatString("MainModeMapState: episode %d opens", mEpisodeIndex + 1));
    AE::Marker* open = last.blocker ? last.blocker->findMarker("open") : nullptr;
    if (!open) return;
    mBlockerOpenMarker = open;
    listen(open);
    open->play(true);
    mOpenPhase = 4;
}

void MainModeMapState::updateEpisodeOpening(float dt) {
    if (mOpenPhase == 1) {
        mTimer = std::max(mTimer - dt, 0.0f);
        setCameraPosition(lerp(mCameraStart, mCameraTarget, mTimer, kPanTime));
        if (mTimer > 0.0f) return;
        mSettling = true;
        mOpenPhase = 2;
        const int32_t current = mMode->getCurrentPart();
        AE::ISceneNode* blocker = size_t(current) < mGroups.size() ? mGroups[size_t(current)].blocker : nullptr;
        mBlockerOpenMarker = blocker ? blocker->findMarker("open") : nullptr;
        if (!mBlockerOpenMarker) {
            mOpenPhase = 3;
            return;
        }
        listen(mBlockerOpenMarker);
        mBlockerOpenMarker->play(true);
    } else if (mOpenPhase == 3) {
        mOpenPhase = 0;
        const EpisodeList& episodes = mMode->getEpisodes();
        Episode& episode = *episodes[size_t(mEpisodeIndex)];
        const int32_t current = mMode->getCurrentPart();
        const int32_t k = std::max(current - 1, 0);
        mMarkerPart = k;
        mMarkerLevel = int32_t(episode.mParts[size_t(k)]->mLevels.size()) - 1;
        episode.mParts[size_t(current)]->mClosed = false;
        // Opened for good: the part stays open in the saved progress.
        if (GameProperties* properties = GameProperties::instancePointer()) properties->saveProfile();
        if (mBlockerOpenMarker) stopListening(mBlockerOpenMarker);
        mBlockerOpenMarker = nullptr;
        mWalk = true;
        beginPlayerMove();
    }
}

void MainModeMapState::onMarkerFinished(AE::Marker* marker) {
    if (marker == mPendingShow) {
        stopListening(marker);
        mPendingShow = nullptr;
    } else if (marker == mBlockerOpenMarker) {
        if (mOpenPhase == 4) {
            if (mMapRoot) mPlayerTarget = worldPoint(mMapRoot->findNode("#episodeEnd"));
            mMovePhase = 3;
            mOpenPhase = 0;
            mAutoAdvance = false;
            stopListening(marker);
            mBlockerOpenMarker = nullptr;
            if (GameProperties* properties = GameProperties::instancePointer()) properties->saveProfile();
        } else {
            mOpenPhase = 3;
        }
    }
}

void MainModeMapState::beginPlayerMove() {
    if (mMovePhase != 0 || mEpisodeIndex != mMode->getCurrentEpisode()) return;
    mMoveRequest = false;
    const Episode& episode = *mMode->getEpisodes()[size_t(mEpisodeIndex)];
    if (!mWalk) {
        mMovePhase = 4;
        return;
    }
    if (mMarkerPart >= 0 && size_t(mMarkerPart) < episode.mParts.size()) {
        const EpisodePart* part = episode.mParts[size_t(mMarkerPart)];
        if (mMarkerLevel + 1 >= 0 && size_t(mMarkerLevel + 1) < part->mLevels.size() &&
            part->mLevels[size_t(mMarkerLevel + 1)]->mCompleted) {
            mMovePhase = 4;
            return;
        }
    }
    const int32_t current = mMode->getCurrentPart();
    if (current >= 0 && size_t(current) < episode.mParts.size() && episode.mParts[size_t(current)]->mClosed) return;
    AE::ISceneNode* from = buttonAt(mMarkerPart, mMarkerLevel);
    AE::ISceneNode* to = buttonAt(current, mMode->getCurrentLevel());
    if (!from || !to || !mPlayerScene) {
        mMovePhase = 4;
        return;
    }
    mWalk = false;
    mTimer = kPanTime;
    mMovePhase = 1;
    mCameraStart = getCameraPosition();
    mPlayerStart = worldPointOf(from, "#user");
    mPlayerScene->setEnabled(true);
    mPlayerScene->setWorldPosition(mPlayerStart);
    mCameraTarget = cameraPositionForLevel(current, mMode->getCurrentLevel());
    mPlayerTarget = worldPointOf(to, "#user");
    if (AE::Marker* disable = to->findMarker("disable")) disable->skipToEnd();
    mPendingShow = to->findMarker("show");
    playMarker(from, "select");
    QV::logLine(QV::formatString("MainModeMapState: the marker walks to part %d level %d", current, mMode->getCurrentLevel()));
}

void MainModeMapState::updatePlayerMove(float dt) {
    switch (mMovePhase) {
        case 1:
            if (mAwardFlights) return;
            mTimer = std::max(mTimer - dt, 0.0f);
            setCameraPosition(lerp(mCameraStart, mCameraTarget, mTimer, kPanTime));
            if (mTimer > 0.0f) return;
            mSettling = true;
            mMovePhase = 2;
            if (mPendingShow) {
                listen(mPendingShow);
                mPendingShow->play(true);
            }
            return;
        case 2: {
            if (mPendingShow) return;
            playMarker(buttonAt(mMarkerPart, mMarkerLevel), "unselect");
            playMarker(buttonAt(mMode->getCurrentPart(), mMode->getCurrentLevel()), "select");
            mTimer = kWalkTime;
            mMovePhase = 3;
            playMarker(mPlayerScene, "move");
            return;
        }
        case 3:
            mTimer = std::max(mTimer - dt, 0.0f);
            if (mPlayerScene) mPlayerScene->setWorldPosition(lerp(mPlayerStart, mPlayerTarget, mTimer, kWalkTime));
            if (mTimer > 0.0f) return;
            mMovePhase = 4;
            mPlayerStart = mPlayerTarget;
            return;
        case 4: {
            mMovePhase = 0;
            if (!mAutoAdvance) return;
            const Episode& episode = *mMode->getEpisodes()[size_t(mEpisodeIndex)];
            int32_t p = mMarkerPart, l = mMarkerLevel + 1;
            if (p < 0 || size_t(p) >= episode.mParts.size()) return;
            if (size_t(l) >= episode.mParts[size_t(p)]->mLevels.size()) {
                p += 1;
                l = 0;
                if (size_t(p) >= episode.mParts.size()) {
                    mAutoAdvance = false;
                    return;
                }
            }
            selectLevel(p, l);
            return;
        }
        default:
            return;
    }
}

void MainModeMapState::updateAwardFlights(float dt) {
    if (mSilverDelay > 0.0f) {
        mSilverDelay -= dt;
        return;
    }
    const bool star = mAwardStar && mAwardStar->mEnabled;
    AE::ISceneNode* flying = star ? mAwardStar : mAwardSilver;
    if (mFlightTimer > 0.0f) {
        mFlightTimer = std::max(mFlightTimer - dt, 0.0f);
        const float f = mFlightTimer / kFlightTime;
        const QV::Vector2<float> s = worldPointOf(buttonAt(mMarkerPart, mMarkerLevel), "#center");
        AE::ISceneNode* icon = star ? mStarIcon : mSilverIcon;
        const QV::Vector2<float> t = scenePoint(worldPoint(icon));
        if (flying) flying->setPosition(QV::Vector2<float>(t.x - (t.x - s.x) * f, t.y - (t.y - s.y) * f));
        if (mFlightTimer > 0.0f) return;
    }
    // Arrival (also the first frame): the counter steps up, the next flight starts.
    if (mAwardStar && mAwardStar->mEnabled) playMarker(mInterfaceScene, "getStar");
    else if (mAwardSilver && mAwardSilver->mEnabled) playMarker(mInterfaceScene, "getSilver");
    if (mAwardStar) mAwardStar->setEnabled(false);
    if (mAwardSilver) mAwardSilver->setEnabled(false);
    if (const PlayerProfile* player = profile()) {
        setNumber(mStarsText, player->getStars() - mPendingStars);
        setNumber(mSilverText, player->mSilver - mPendingSilver);
    }
    const QV::Vector2<float> start = worldPointOf(buttonAt(mMarkerPart, mMarkerLevel), "#center");
    if (mPendingStars > 0) {
        mPendingStars -= 1;
        if (mAwardStar) {
            playMarker(mAwardStar, "init");
            mAwardStar->setEnabled(true);
            mAwardStar->setPosition(start);
        }
        mFlightTimer = kFlightTime;
    } else if (mPendingSilver > 0) {
        mSilverDelay = kSilverDelay;
        mPendingSilver = 0;
        if (mAwardSilver) {
            playMarker(mAwardSilver, "init");
            mAwardSilver->setEnabled(true);
            mAwardSilver->setPosition(start);
        }
        mFlightTimer = kFlightTime;
    } else {
        mAwardFlights = false;
    }
}
