#include "flow/main_mode.h"

extern "C" {
#include <lua.h>
}

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_node.h"
#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/cell.h"
#include "board/chip_destroy_info.h"
#include "board/chip_selector.h"
#include "board/game_field.h"
#include "board/task.h"
#include "dialogs/dialog_window.h"
#include "dialogs/nomoves_level_window.h"
#include "flow/game_level.h"
#include "flow/game_state_manager.h"
#include "flow/run_timer_task.h"
#include "format_string.h"
#include "game_helpers/bonus_chip_helper.h"
#include "game_helpers/chain_bomb_helper.h"
#include "game_helpers/chip_generator_helper.h"
#include "game_helpers/chip_up_helper.h"
#include "game_helpers/goals_helper.h"
#include "game_helpers/ice_helper.h"
#include "game_helpers/level_end_helper.h"
#include "game_helpers/progress_helper.h"
#include "game_helpers/score_text_helper.h"
#include "input_manager.h"
#include "keyboard_device.h"
#include "game_helpers/move_limit_helper.h"
#include "game_helpers/timer_helper.h"
#include "log_system.h"
#include "lua_script2.h"
#include "player/game_properties.h"
#include "player/progress_saver.h"
#include "player/store.h"
#include "tutorial/game_event.h"
#include "tutorial/tutorial_registry.h"
#include "ui/ui_widget.h"
#include "lex_binded_function_manager.h"
#include "lex_binder.h"
#include "flow/main_mode_map_state.h"
#include "flow/main_mode_windows.h"
#include "ui/ui_manager.h"
#include "player/main_mode_section.h"
#include "flow/movie_state.h"
#include "social/facebook_integration.h"
#include "social/user_data_serializer.h"

namespace {

constexpr char kNewGameCommand[] = "newGame";
constexpr char kIntroScene[] = "dialog_1_xml";

GameStateManager* states() { return GameStateManager::instancePointer(); }

MovieState* movieState() {
    GameStateManager* manager = states();
    return manager ? static_cast<MovieState*>(manager->getMovieState()) : nullptr;
}

}  // namespace

MainMode::MainMode(const std::string& suffix) : mSuffix(suffix) {
    mEpisodes = readEpisodes("main_mode_lua", mSuffix);
    updateLocks();
    if (UserDataSerializer* serializer = UserDataSerializer::instancePointer()) serializer->setMainMode(this);
}

MainMode::~MainMode() {
    mLevelWindows.reset();
    deleteHelpers();
    // The command calls into this object, so it must not outlive it.
    if (mOwnsNewGameCommand) {
        if (QV::LexBindedFunctionManager* commands = QV::LexBindedFunctionManager::instancePointer())
            commands->unregisterBinder(kNewGameCommand);
    }
    deleteEpisodes(mEpisodes);
}

void MainMode::activate() {
    // A second activation keeps the first binding.
    if (QV::LexBindedFunctionManager* commands = QV::LexBindedFunctionManager::instancePointer()) {
        if (!commands->findBinder(kNewGameCommand)) {
            commands->registerBinder(kNewGameCommand, new QV::LexBinder<MainMode>(this, &MainMode::newGame));
            mOwnsNewGameCommand = true;
        }
    }
    // The game's windows; a tool that set its own openers keeps them.
    if (!mLevelWindows && QV::UIManager::instancePointer() && !hasLevelWindowOpener("WinLevelWindow"))
        mLevelWindows = std::make_unique<MainModeWindows>(*this);
    GameStateManager* manager = states();
    relayout(manager ? manager->getOrientation() : 0);
    Mode::activate();
    MovieState* movie = movieState();
    if (movie) movie->setListener(this);
    if (mHasProgress) {
        showMap();
        return;
    }
    // A fresh profile starts with the intro; the click that started the game must not skip its first part.
    if (movie && manager) {
        movie->setSkipFirstClick(true);
        movie->setSceneName(kIntroScene);
        manager->setState("MovieState");
    }
}

void MainMode::deactivate() { Mode::deactivate(); }

void MainMode::createStates() {
    if (mMapState) return;
    mMapState = new MainModeMapState(this);
    if (GameStateManager* manager = states()) manager->registerState(mMapState);
}

void MainMode::onMovieFinished() {
    mHasProgress = true;
    showMap();
}

void MainMode::showMap() {
    // The stand-in network sends its requests again at every return to the map.
    if (FacebookIntegration* social = FacebookIntegration::instancePointer())
        if (social->sessionOpen) social->loadRequests();
    if (GameStateManager* manager = states()) manager->setState("MainModeMap");
}

void MainMode::replayLevel() {
    mLevelRunning = false;
    if (GameLevel* level = gameLevel()) level->setMode(this);
    if (GameStateManager* manager = states()) manager->setState("GameLevel");
}

void MainMode::newGame() { replayLevel(); }

void MainMode::addHeart() {
    if (uint32_t(mHearts) < 5u) ++mHearts;
}

void MainMode::updateLocks() { ::updateLocks(mEpisodes); }

void MainMode::updateProgress() {
    const ProgressPosition at = computeProgressPosition(mEpisodes);
    mCurrentEpisode = at.episode;
    mCurrentPart = at.part;
    mCurrentLevel = at.level;
    mHasProgress = at.hasProgress;
}

void MainMode::reset(int) {
    mHasProgress = false;
    mHearts = 5;
    for (Episode* episode : mEpisodes) resetEpisode(episode);
    updateLocks();
    updateProgress();
}

MainModeProgress MainMode::toProgress() const {
    MainModeProgress p;
    p.hearts = mHearts;
    p.heartTime = mHeartTime;
    p.hasProgress = mHasProgress;
    p.extraMoves = mExtraMoves;
    p.currentEpisode = mCurrentEpisode;
    p.currentPart = mCurrentPart;
    p.currentLevel = mCurrentLevel;
    for (const Episode* episode : mEpisodes) {
        MainModeEpisodeProgress e;
        for (const EpisodePart* part : episode->mParts) {
            MainModePartProgress pp;
            pp.closed = part->mClosed;
            for (const EpisodeLevel* level : part->mLevels) pp.levels.push_back({level->mCompleted, level->mBestScore});
            e.parts.push_back(pp);
        }
        p.episodes.push_back(e);
    }
    return p;
}

void MainMode::applyProgress(const MainModeProgress& p) {
    mHearts = p.hearts;
    mHeartTime = p.heartTime;
    mHasProgress = p.hasProgress;
    mExtraMoves = p.extraMoves;
    mCurrentEpisode = p.currentEpisode;
    mCurrentPart = p.currentPart;
    mCurrentLevel = p.currentLevel;
    for (size_t e = 0; e < mEpisodes.size() && e < p.episodes.size(); ++e)
        for (size_t k = 0; k < mEpisodes[e]->mParts.size() && k < p.episodes[e].parts.size(); ++k) {
            EpisodePart* part = mEpisodes[e]->mParts[k];
            const MainModePartProgress& pp = p.episodes[e].parts[k];
            part->mClosed = pp.closed;
            for (size_t l = 0; l < part->mLevels.size() && l < pp.levels.size(); ++l) {
                part->mLevels[l]->mCompleted = pp.levels[l].completed;
                part->mLevels[l]->mBestScore = pp.levels[l].bestScore;
            }
        }
}

void MainMode::writeSection(AE::DataStream& out) { writeMainModeSection(out, toProgress()); }

bool MainMode::readSection(AE::DataStream& in) {
    MainModeProgress progress = toProgress();
    const bool fits = readMainModeSection(in, progress) == MainModeSectionRead::Read;
    if (fits) applyProgress(progress);
    updateLocks();
    return fits;
}

// ---- the level's road ----

namespace {

constexpr char kGoalsScene[] = "goals_dial_scene_xml";
constexpr char kScoreScene[] = "score_scene_xml";
constexpr char kLimitUi[] = "limit_helper_ui";
constexpr char kLimitTable[] = "LimitHelper";

// A number or a numeric string on top of the stack; anything else is 0.
double numberOrZero(lua_State* L) {
    const int type = lua_type(L, -1);
    if ((type != LUA_TNUMBER && type != LUA_TSTRING) || !lua_isnumber(L, -1)) return 0.0;
    const double value = lua_tonumber(L, -1);
    return std::isfinite(value) && std::fabs(value) < 1.0e9 ? value : 0.0;
}

int starsOf(int32_t score, const int32_t thresholds[3]) {
    int stars = 0;
    while (stars < 3 && thresholds[stars] <= score) ++stars;
    return stars;
}

std::string cellText(const Cell* cell) {
    return cell ? QV::formatString("%d %d", cell->column, cell->row) : std::string("-1 -1");
}

}  // namespace

GameLevel* MainMode::gameLevel() {
    GameStateManager* manager = states();
    return manager ? static_cast<GameLevel*>(manager->getGameLevel()) : nullptr;
}

void MainMode::emitTrace(const std::string& line) {
    if (trace) trace(line);
}

bool MainMode::startLevel(int episode, int part, int level) {
    if (episode < 0 || episode >= static_cast<int>(mEpisodes.size())) return false;
    Episode* e = mEpisodes[episode];
    if (part < 0 || part >= static_cast<int>(e->mParts.size())) return false;
    EpisodePart* p = e->mParts[part];
    if (level < 0 || level >= static_cast<int>(p->mLevels.size())) return false;
    mLevel = p->mLevels[level];
    mLevelScript = mLevel->mFile + mSuffix + "_lua";
    GameLevel* state = gameLevel();
    if (!state) return false;
    state->setMode(this);
    mLevelRunning = false;
    if (GameStateManager* manager = states()) manager->setState("GameLevel");
    return true;
}

bool MainMode::startLevelByFile(const std::string& file) {
    for (size_t e = 0; e < mEpisodes.size(); ++e)
        for (size_t p = 0; p < mEpisodes[e]->mParts.size(); ++p)
            for (size_t l = 0; l < mEpisodes[e]->mParts[p]->mLevels.size(); ++l)
                if (mEpisodes[e]->mParts[p]->mLevels[l]->mFile == file)
                    return startLevel(static_cast<int>(e), static_cast<int>(p), static_cast<int>(l));
    return false;
}

void MainMode::onStateActivated(const std::string& stateName) {
    if (stateName != "GameLevel" || !mLevel) return;
    GameLevel* level = gameLevel();
    if (!level) return;
    mOutcome = LevelOutcome();
    mPlayStarted = false;
    mDialogRaises = 0;  // the level state starts its count afresh
    mLimitRefused = false;
    QV::logLine(QV::formatString("Level started: %s", mLevel->mFile.c_str()));
    level->setBackground(mLevel->mBack1);
    level->setFieldScene(mLevel->mBack2);
    level->loadLevel(mLevelScript);
}

void MainMode::createHelpers() {
    GameLevel* level = gameLevel();
    mGoals = new GoalsHelper(kGoalsScene);
    if (level) level->addHelper(mGoals);
    mBonusChips = new BonusChipHelper(this);
    if (level) level->addHelper(mBonusChips);
    mProgress = new ProgressHelper(kScoreScene);
    if (level) level->addHelper(mProgress);
    mScoreText = new ScoreTextHelper();
    if (level) level->addHelper(mScoreText);
    mLevelEnd = new LevelEndHelper();
    if (level) level->addHelper(mLevelEnd);
    mIce = new IceHelper();
    if (level) level->addHelper(mIce);
    mChainBombs = new ChainBombHelper();
    if (level) level->addHelper(mChainBombs);
    mChipGenerators = new ChipGeneratorHelper();
    if (level) level->addHelper(mChipGenerators);
    mChipUp = new ChipUpHelper();
    if (level) level->addHelper(mChipUp);
}

void MainMode::deleteHelpers() {
    delete mGoals;
    mGoals = nullptr;
    delete mBonusChips;
    mBonusChips = nullptr;
    delete mProgress;
    mProgress = nullptr;
    delete mScoreText;
    mScoreText = nullptr;
    delete mLimit;
    mLimit = nullptr;
    delete mIce;
    mIce = nullptr;
    delete mChainBombs;
    mChainBombs = nullptr;
    delete mChipGenerators;
    mChipGenerators = nullptr;
    delete mChipUp;
    mChipUp = nullptr;
    delete mLevelEnd;
    mLevelEnd = nullptr;
}

int32_t MainMode::score() const { return mProgress ? mProgress->score() : 0; }

void MainMode::holdBoard() {
    GameLevel* level = gameLevel();
    if (!level) return;
    level->increaseDialogCount();
    ++mDialogRaises;
}

void MainMode::releaseBoard() {
    GameLevel* level = gameLevel();
    for (; mDialogRaises > 0; --mDialogRaises)
        if (level) level->decreaseDialogCount();
}

void MainMode::onStateEnded(const std::string& stateName) {
    if (stateName != "GameLevel") return;
    deleteHelpers();
    if (GameLevel* level = gameLevel()) level->clearHelpers();
}

void MainMode::readLevelRules(QV::LuaScript2& script) {
    emitTrace("readLevelRules");
    GameLevel* level = gameLevel();
    if (!mGoals) createHelpers();
    GameStateManager* manager = states();
    relayout(manager ? manager->getOrientation() : 0);
    const int32_t* thresholds = mLevel ? mLevel->mStarThresholds : kDefaultStarThresholds;
    const int32_t firstThreshold = thresholds[0];
    mProgress->setSegments(thresholds[0], thresholds[1] - thresholds[0], thresholds[2] - thresholds[1]);
    mGoals->resetScoreGoal(firstThreshold);
    if (thresholds[1] < thresholds[0] || thresholds[2] < thresholds[1]) {
        // The score bar and the stars need thresholds that rise.
        delete mLimit;
        mLimit = nullptr;
        mLimitRefused = true;
        QV::logLine(QV::formatString("ERROR: The level '%s' has star thresholds that decrease (%d, %d, %d); back to the map",
                                     mLevel ? mLevel->mFile.c_str() : mLevelScript.c_str(), thresholds[0],
                                     thresholds[1], thresholds[2]));
        return;
    }

    lua_State* L = script.state();
    if (!script.openTable("GameField")) {
        lua_newtable(L);  // no table: every key reads as absent
        QV::LuaScript2 empty(L, script.depth() + 1);
        mGoals->readLevelGoals(empty);
        if (mIce) mIce->readLevel(empty);
        lua_pop(L, 1);
    } else {
        mGoals->readLevelGoals(script);
        if (mIce) mIce->readLevel(script);
        script.closeTable();
    }
    double limit = 0.0;
    int kind = 0;
    if (script.openTable("GameField")) {
        script.pushField("LevelLimit");
        if (lua_isnil(L, -1)) {
            lua_pop(L, 1);
            script.pushField("LevelTime");
        }
        limit = numberOrZero(L);
        lua_pop(L, 1);
        script.pushField("LevelLimitType");
        kind = static_cast<int>(numberOrZero(L));
        lua_pop(L, 1);
        script.closeTable();
    }
    delete mLimit;
    mLimit = nullptr;
    if (limit == 0.0) {
        // Every part of the level's road needs a limit.
        mLimitRefused = true;
        QV::logLine(QV::formatString("ERROR: The level '%s' has no move or time limit (LevelLimit or LevelTime); back to the map",
                                     mLevel ? mLevel->mFile.c_str() : mLevelScript.c_str()));
        return;
    }
    if (NomovesLevelWindow* window = noMovesWindow()) window->setLimitKind(kind != 0);
    if (kind == 0) {
        mLimit = new MoveLimitHelper(kLimitUi, kLimitTable, static_cast<int>(limit) + mExtraMoves, 0.6f);
        mExtraMoves = 0;
    } else {
        mLimit = new TimerHelper(kLimitUi, kLimitTable, static_cast<float>(limit), 1.0f);
        if (mIce) mLimit->addListener(mIce);
    }
    mLimit->addListener(this);
    if (level) level->addHelper(mLimit);
}

void MainMode::onLevelLoaded() {
    mNoMovesPending = false;
    if (mBonusChips) mBonusChips->onLevelStart();
    if (mProgress) mProgress->onLevelStart();
    if (mGoals) {
        mGoals->onLevelStart();
        mGoals->resetScoreGoal(mLevel ? mLevel->mStarThresholds[0] : kDefaultStarThresholds[0]);
    }
    if (mLevelEnd) mLevelEnd->onLevelStart();
    if (NomovesLevelWindow* window = noMovesWindow(); window && mGoals && mLevel) {
        window->setLevelNumber(mLevel->mTitle);
        window->setGoals(mGoals->slot(0).kind, mGoals->slot(1).kind, mGoals->slot(0).target, mGoals->slot(1).target,
                         mLevel->mStarThresholds[0]);
    }
    mMenuAllowed = false;
    GameStateManager* manager = states();
    relayout(manager ? manager->getOrientation() : 0);
    if (mChainBombs) mChainBombs->loadChainBombs();
    if (mChipGenerators) mChipGenerators->collectGenerators();
}

void MainMode::onBoardReady() {
    emitTrace("onBoardReady");
    mFailed = false;
    mWinStarted = false;
    mCompletedBefore = mLevel && mLevel->mCompleted;
    if (mChipUp) mChipUp->collectChips();
    mPlayStarted = false;
    GameLevel* level = gameLevel();
    if (level && level->getInterface() && !level->getInterface()->isEnabled()) level->getInterface()->enable();
    if (mLimit) {
        if (mLimit->getKind() == kHelperTimer) static_cast<TimerHelper*>(mLimit)->setRunning(false);
        mLimit->showInitialCount();
    }
    mLevelRunning = true;
}

void MainMode::onLimitReady() {
    emitTrace("onLimitReady");
    if (mMenuAllowed) return;
    dispatchTutorialEvent(new BeginLevelGameEvent(mLevelScript), getTutorialSequences());
    mMenuAllowed = true;
}

void MainMode::onLimitChanged(int oldValue, int newValue) {
    // A whole second of a time limit is the chain bombs' move.
    if (mLimit && mLimit->getKind() == kHelperTimer && newValue < oldValue && mChainBombs) mChainBombs->requestStep();
}

void MainMode::onLimitStarted() { mPlayStarted = true; }

void MainMode::restartTimer() {
    if (!mLimit || mLimit->getKind() != kHelperTimer) return;
    static_cast<TimerHelper*>(mLimit)->setRunning(true);
    mLimit->notifyStarted();
}

void MainMode::relayout(int) {
    GameLevel* level = gameLevel();
    if (!level || !mGoals) return;
    const LevelLayoutMarker goals = level->getLayoutMarker("goals");
    if (goals.found) mGoals->priority = goals.depth;
    if (mProgress) {
        const LevelLayoutMarker score = level->getLayoutMarker("score");
        if (score.found) {
            mProgress->priority = score.depth;
            if (AE::ISceneNode* scene = mProgress->scene()) scene->setPosition(QV::Vector2<float>(score.x, score.y));
        }
    }
    if (mLimit) {
        const LevelLayoutMarker moves = level->getLayoutMarker("moves");
        if (moves.found) {
            mLimit->priority = moves.depth;
            if (QV::UIWidget* panel = mLimit->panel()) panel->setPosition(QV::Vector2<float>(moves.x, moves.y));
        }
        const LevelLayoutMarker centre = level->getLayoutMarker("fieldCenter");
        if (centre.found) mLimit->setPosition(QV::Vector2<float>(centre.x, centre.y));
    }
    level->sortHelpers();
}

GameHelper* MainMode::getHelper(GameHelperKind kind) {
    switch (kind) {
        case kHelperMoveLimit: return mLimit && mLimit->getKind() == kHelperMoveLimit ? mLimit : nullptr;
        case kHelperTimer: return mLimit && mLimit->getKind() == kHelperTimer ? mLimit : nullptr;
        case kHelperGoals: return mGoals;
        case kHelperIce: return mIce;
        default: return nullptr;
    }
}

bool MainMode::goalsReached() const {
    if (!mGoals) return false;
    if (mGoals->hasNoGoals()) return score() >= (mLevel ? mLevel->mStarThresholds[0] : kDefaultStarThresholds[0]);
    return mGoals->areGoalsReached();
}

void MainMode::goalsReachedCheck() {
    if (!mGoals || mGoals->hasNoGoals() || !mGoals->areGoalsReached()) return;
    // Input stops once the goals are met.
    holdBoard();
}

void MainMode::updateLevel(float) {
    GameLevel* level = gameLevel();
    GameField* field = level ? level->getField() : nullptr;
    // Escape (virtual key 0x1B) released this frame opens the in-level menu.
    QV::InputManager* input = QV::InputManager::instancePointer();
    QV::KeyboardDevice* keyboard = input ? input->getKeyboard() : nullptr;
    if (level && keyboard && keyboard->isKeyReleased(0x1B) && !mWinStarted && !mFailed &&
        !isTutorialLessonActive(getTutorialSequences()))
        level->showIngameMenu();
    if (mLimitRefused) {
        mLimitRefused = false;
        showMap();
        return;
    }
    if (!level || !field || !mPlayStarted || !mLimit) return;
    // While the out-of-moves window is up the level waits for its answer.
    if (NomovesLevelWindow* window = noMovesWindow(); window && window->mState != DialogWindow::Hidden) return;
    const bool exhausted = mLimit->isExhausted();
    if (exhausted) {
        if (level->openDialogCount() <= 0) holdBoard();
        if (field->hasEmptyOrMovingCell()) return;
    }
    if (exhausted && !mFailed) {
        const bool idle = field->taskManager->size() == 0 && !field->busy && !bonusChipsMerging() &&
                          !field->hasEmptyOrMovingCell();
        if (idle && !goalsReached() && !field->hasBombStage2Chip() && !field->destroyMatches(true)) {
            mFailed = true;
            mOutcome.kind = LevelOutcome::Failed;
            mOutcome.score = score();
            QV::logLine(QV::formatString("Level failed: %s score %d", mLevel ? mLevel->mFile.c_str() : "", score()));
            level->playEffect(kEffectFail);
        }
    }
    if (field->taskManager->size() != 0 || mFailed || mNoMovesPending || !goalsReached() || field->isSuspended() ||
        field->busy || !mPlayStarted || bonusChipsMerging())
        return;
    if (!mWinStarted && !level->levelEffectStarted()) {
        if (QV::UIWidget* ui = level->getInterface()) {
            if (ui->isEnabled()) ui->disable();
        }
        holdBoard();
        mWinStarted = true;
        // The moves left become bonus chips that go off before the level is settled.
        if (mLevelEnd) mLevelEnd->start(mLimit);
    }
    const bool endRun = !mLevelEnd || (mLevelEnd->isStarted() && mLevelEnd->isFinished());
    const bool counted = !mProgress || mProgress->shown() == mProgress->score();
    if (!field->busy && mWinStarted && endRun && counted && mOutcome.kind == LevelOutcome::Running) finishLevel();
}

void MainMode::finishLevel() {
    if (!mLevel) return;
    GameProperties* properties = GameProperties::instancePointer();
    PlayerProfile* profile = properties ? properties->profile() : nullptr;
    const int32_t score = this->score();
    // The board is the mode's no longer: what it held is let go.
    releaseBoard();
    if (profile) {
        for (int32_t kind : Store::getBoostersUnlockedAtLevel(mLevel->mId)) profile->unlockBooster(kind);
        for (int32_t kind : Store::getPassiveBonusesUnlockedAtLevel(mLevel->mId)) profile->unlockPassiveBonus(kind);
    }
    mPlayStarted = false;
    const int oldStars = starsOf(mLevel->mBestScore, mLevel->mStarThresholds);
    mLevel->mBestScore = std::max(mLevel->mBestScore, score);
    mLevel->mCompleted = true;
    if (!mCompletedBefore) {
        updateLocks();
        updateProgress();
    }
    const int newStars = starsOf(mLevel->mBestScore, mLevel->mStarThresholds);
    const int gained = std::max(newStars - oldStars, 0);
    mSilverReward = static_cast<int32_t>(static_cast<double>(score) * static_cast<double>(0.001f));
    addHeart();
    if (mMapState) mMapState->startAwardFlights(gained);
    mOutcome.kind = LevelOutcome::Won;
    mOutcome.score = score;
    mOutcome.starsGained = gained;
    QV::logLine(QV::formatString("Level won: %s score %d stars %d", mLevel->mFile.c_str(), score, gained));
    if (profile) {
        profile->mBoosterUnlockNotice = 1;
        profile->mStarsBase += gained;
        profile->setSilver(profile->mSilver + mSilverReward);
    }
    // Without a progress saver (tools) the file is written here.
    if (!ProgressSaver::instancePointer() && properties) properties->saveProfile();
    LevelWindowRequest request;
    request.level = mLevel;
    request.score = score;
    request.silver = mSilverReward;
    openLevelWindow("WinLevelWindow", request);
}

void MainMode::onMoveMade(Cell* first, Cell* second) {
    emitTrace("onMoveMade " + cellText(first) + " " + cellText(second));
    if (mLimit && mLimit->getKind() == kHelperTimer) {
        static_cast<TimerHelper*>(mLimit)->setRunning(true);
        mLimit->notifyStarted();
    }
    const bool timed = mLimit && mLimit->getKind() == kHelperTimer;
    if (!timed) {
        if (mChainBombs) mChainBombs->requestStep();
        if (mChipGenerators) mChipGenerators->setMoved();
    }
    if (mLimit) mLimit->onMoveMade();
    mNoMovesPending = false;
    if (mScoreText && second) mScoreText->setCell(second->column, second->row);
    if (mIce && !mIce->isTimed()) mIce->setFreezeAfterMove();
    if (mChipUp) mChipUp->onMoveMade();
}

bool MainMode::createBonusChip(MatchLines& match) {
    return mBonusChips && mBonusChips->createBonusChipFromMatch(match);
}

bool MainMode::tryFuseBonusChips(Chip* selected, Chip* clicked) {
    return mBonusChips && mBonusChips->tryFuseBonusChips(selected, clicked);
}

bool MainMode::bonusChipsMerging() const { return mBonusChips && mBonusChips->isFusing(); }

void MainMode::onChipDestroyed(const ChipDestroyInfo& info) {
    std::string kinds;
    for (int kind : info.kinds) {
        if (!kinds.empty()) kinds += "+";
        kinds += behaviorKindName(kind);
    }
    emitTrace(QV::formatString("onChipDestroyed %d %d %c %s %d", info.column, info.row, groupLetter(info.group),
                               kinds.empty() ? "-" : kinds.c_str(), info.levelGoals));
    if (mGoals) mGoals->onChipDestroyed(info);
    goalsReachedCheck();
    if (info.chip) {
        if (mChipUp) mChipUp->forgetChip(info.chip);
        if (mChainBombs) mChainBombs->forgetChip(info.chip);
    }
    dispatchTutorialEvent(new DestroyChipGameEvent(info), getTutorialSequences());
}

void MainMode::addPoints(int points) {
    if (mProgress) mProgress->setScore(mProgress->score() + points);
    if (mGoals) mGoals->addScore(points);
    if (mScoreText) mScoreText->addPoints(points);
}

void MainMode::onScored(const ObjectScore& score, const ScorePosition& position, Chip*) {
    emitTrace(QV::formatString("onScored %d %d %d %d", score.kind, score.points, static_cast<int>(position.column),
                               static_cast<int>(position.row)));
    if (score.kind == 0) return;
    mPlayStarted = true;
    if (mScoreText) mScoreText->setCell(static_cast<int>(position.column), static_cast<int>(position.row));
    addPoints(score.points);
}

void MainMode::onCellDamaged(Cell* cell) {
    if (!cell) return;
    emitTrace(QV::formatString("onCellDamaged %d %d %d", cell->column, cell->row, cell->solidity));
    const int points = cell->solidity == 1 || cell->solidity == 2 ? 500 : 0;
    if (mScoreText) mScoreText->setCell(cell->column, cell->row);
    addPoints(points);
    if (cell->solidity == 1 && mGoals) {
        if (mGoals->slot(0).kind == 2) mGoals->countGoal(0);
        else if (mGoals->slot(1).kind == 2) mGoals->countGoal(1);
    }
    goalsReachedCheck();
}

void MainMode::onNoPossibleMoves() {
    emitTrace("onNoPossibleMoves");
    GameLevel* level = gameLevel();
    GameField* field = level ? level->getField() : nullptr;
    if (!field || !field->levelBegun || mNoMovesPending || (mLimit && mLimit->isExhausted())) return;
    mNoMovesPending = true;
    if (mLimit && mLimit->getKind() == kHelperTimer) static_cast<TimerHelper*>(mLimit)->setRunning(false);
    level->playEffect(kEffectNoPossibleMoves);
}

void MainMode::onEffectPlayed(GameLevelEffect effect) {
    GameLevel* level = gameLevel();
    switch (effect) {
        case kEffectFail: {
            LevelWindowRequest request;
            request.level = mLevel;
            request.score = score();
            if (level) holdBoard();
            openLevelWindow("FailLevelWindow", request);
            break;
        }
        case kEffectNoPossibleMoves:
            if (GameField* field = level ? level->getField() : nullptr) {
                field->mixChips();
                mNoMovesPending = false;
                if (mLimit && mLimit->getKind() == kHelperTimer) field->taskManager->addTask(new RunTimerTask(this));
            }
            break;
        case kEffectNoMoreMoves:
        case kEffectTimeUp:
            if (NomovesLevelWindow* window = noMovesWindow(); window && mGoals)
                window->updateGoalChecks(mGoals->slot(0).done, mGoals->slot(1).done);
            break;
        case kEffectWin:
            mWinStarted = true;
            if (mLevelEnd) mLevelEnd->start(mLimit);  // a second start does nothing
            break;
        default:
            break;
    }
}

bool MainMode::onNeighbourDestroyed(Chip* destroyed, Chip* neighbour) {
    if (mIce && mIce->onNeighbourDestroyed(destroyed, neighbour)) return true;
    return mChipGenerators && mChipGenerators->onNeighbourDestroyed(neighbour);
}

void MainMode::openIngameMenu() {
    if (!mMenuAllowed) return;
    openLevelWindow("IngameMenuWindow", LevelWindowRequest());
}

void MainMode::setLevelWindowOpener(const std::string& className, LevelWindowOpener opener) {
    mWindowOpeners[className] = std::move(opener);
}

bool MainMode::hasLevelWindowOpener(const std::string& className) const {
    const auto it = mWindowOpeners.find(className);
    return it != mWindowOpeners.end() && it->second;
}

void MainMode::openLevelWindow(const std::string& className, const LevelWindowRequest& request) {
    auto it = mWindowOpeners.find(className);
    DialogWindow* window = it != mWindowOpeners.end() && it->second ? it->second(request) : nullptr;
    if (window) {
        window->addListener(this);
        mOpenedWindows[window] = className;
        return;
    }
    QV::logLine(QV::formatString("The window %s is not there yet", className.c_str()));
    // Go on as the window's plainest answer would.
    if (className == "WinLevelWindow") onWinWindowClosed(0);
    else if (className == "FailLevelWindow") showMap();
}

NomovesLevelWindow* MainMode::noMovesWindow() const { return mLevelWindows ? mLevelWindows->noMovesWindow() : nullptr; }

void MainMode::onNoMovesWindowClosed(NomovesLevelWindow* window) {
    GameLevel* level = gameLevel();
    if (window->mResult == NomovesLevelWindow::Continue) {
        if (mLimit && mLimit->getKind() == kHelperTimer)
            static_cast<TimerHelper*>(mLimit)->addTime(static_cast<float>(window->mGrantAmount));
        else if (mLimit)
            static_cast<MoveLimitHelper*>(mLimit)->addMoves(window->mGrantAmount);
        if (level && mDialogRaises > 0) {
            level->decreaseDialogCount();
            --mDialogRaises;
        }
        mFailed = false;
        if (level) level->setAmbientVolume(1.0f);
        return;
    }
    mPlayStarted = false;
    if (!level) return;
    level->playEffect(kEffectFail);
    if (QV::UIWidget* ui = level->getInterface(); ui && ui->isEnabled()) ui->disable();
    holdBoard();
}

void MainMode::onWindowClosed(DialogWindow* window) {
    if (NomovesLevelWindow* noMoves = noMovesWindow(); noMoves && window == noMoves) {
        onNoMovesWindowClosed(noMoves);
        return;
    }
    auto it = mOpenedWindows.find(window);
    if (it == mOpenedWindows.end()) return;
    const std::string className = it->second;
    const int32_t result = window->mResult;
    // Answered: a later close of the same window opened by someone else is theirs.
    mOpenedWindows.erase(it);
    if (className == "WinLevelWindow") {
        onWinWindowClosed(result);
    } else if (className == "FailLevelWindow") {
        if (result == 0) {
            LevelWindowRequest request;
            request.level = mLevel;
            request.mode = 1;
            // No heart left: the heart window first, whose close leads on.
            if (mHearts <= 0 && hasLevelWindowOpener("BuyHeartWindow")) openLevelWindow("BuyHeartWindow", request);
            else openLevelWindow("PlayLevelWindow", request);
        } else {
            showMap();
        }
    } else if (className == "BuyHeartWindow") {
        LevelWindowRequest request;
        request.level = mLevel;
        request.mode = 1;
        if (mHearts >= 1) openLevelWindow("PlayLevelWindow", request);
        else showMap();
    } else if (className == "IngameMenuWindow") {
        if (result == 0) showMap();
    } else if (className == "PlayLevelWindow") {
        GameStateManager* manager = states();
        IGameState* map = manager ? manager->findState("MainModeMap") : nullptr;
        if (!map || !map->isLoaded()) {
            if (result == 0) showMap();
            else replayLevel();
        }
    }
}

void MainMode::onWinWindowClosed(int result) {
    if (!mLevel) return;
    const EpisodeLevel* last = nullptr;
    for (const Episode* episode : mEpisodes)
        for (const EpisodePart* part : episode->mParts)
            if (!part->mLevels.empty()) last = part->mLevels.back();
    const bool lastLevel = mLevel == last;
    // The map moves the player's marker on: walking after a first win, opening the next level with "next".
    if (!lastLevel && mMapState) mMapState->requestPlayerMove(!mCompletedBefore, result == 1);
    // Set before the map's build job starts, which reads it.
    if (mMapState) mMapState->addPendingSilver(mSilverReward);
    if (mCompletedBefore) {
        showMap();
    } else if (!mLevel->mMovieScene.empty()) {
        MovieState* movie = movieState();
        GameStateManager* manager = states();
        if (movie && manager) {
            movie->setListener(this);
            movie->setSceneName(mLevel->mMovieScene);
            manager->setState("MovieState");
        } else {
            showMap();
        }
    } else {
        showMap();
    }
    if (GameProperties* properties = GameProperties::instancePointer()) properties->saveProfile();
}
