#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "flow/episode.h"
#include "flow/game_state.h"
#include "board/mode.h"
#include "dialogs/dialog_window_listener.h"
#include "game_helpers/limit_helper_listener.h"
#include "social/facebook_message_listener.h"

class BonusChipHelper;
class ChainBombHelper;
class ChipGeneratorHelper;
class ChipUpHelper;
class DialogWindow;
class GameLevel;
class GoalsHelper;
class IceHelper;
class LevelEndHelper;
class LimitHelper;
class ProgressHelper;
class ScoreTextHelper;
class MainModeMapState;
class NomovesLevelWindow;
class MainModeWindows;
struct MainModeProgress;

// What a level window is opened with.
struct LevelWindowRequest {
    EpisodeLevel* level = nullptr;
    int32_t score = 0;
    int32_t silver = 0;
    int32_t mode = 0;  // the level window's opening mode (1: a replay)
};

// How the last level ended.
struct LevelOutcome {
    enum Kind { Running, Won, Failed };
    Kind kind = Running;
    int32_t score = 0;
    int32_t starsGained = 0;
};

// The game's mode: the episode tree with the player's progress, its profile
// section, and where activation leads (the intro on a fresh profile, the map
// otherwise). The level's rules come with the level state.
class MainMode : public Mode,
                 public MovieStateListener,
                 public LimitHelperListener,
                 public DialogWindowListener,
                 public FacebookMessageListener {
public:
    explicit MainMode(const std::string& suffix);
    ~MainMode() override;

    void activate() override;
    void deactivate() override;
    void createStates() override;
    void writeSection(AE::DataStream& out) override;
    // A section that does not fit the episode data leaves the progress as it was (false).
    bool readSection(AE::DataStream& in) override;
    void reset(int newGame) override;
    void replayLevel() override;
    bool isLevelRunning() override { return mLevelRunning; }
    bool createBonusChip(MatchLines& match) override;
    bool tryFuseBonusChips(Chip* selected, Chip* clicked) override;
    void onMovieFinished() override;

    // The level's road and rules.
    void onStateActivated(const std::string& stateName) override;
    void onStateEnded(const std::string& stateName) override;
    void readLevelRules(QV::LuaScript2& script) override;
    void onLevelLoaded() override;
    void onBoardReady() override;
    void relayout(int portrait) override;
    GameHelper* getHelper(GameHelperKind kind) override;
    void updateLevel(float dt) override;
    void onMoveMade(Cell* first, Cell* second) override;
    void onEffectPlayed(GameLevelEffect effect) override;
    void onNoPossibleMoves() override;
    void onChipDestroyed(const ChipDestroyInfo& info) override;
    void onScored(const ObjectScore& score, const ScorePosition& position, Chip* chip) override;
    void onCellDamaged(Cell* cell) override;
    void openIngameMenu() override;
    bool onNeighbourDestroyed(Chip* destroyed, Chip* neighbour) override;
    void onLimitReady() override;
    void onLimitChanged(int oldValue, int newValue) override;
    void onLimitStarted() override;
    void onWindowClosed(DialogWindow* window) override;

    // Starts a level of the episode tree; false when there is no such level.
    bool startLevel(int episode, int part, int level);
    // The same by the level's file stem.
    bool startLevelByFile(const std::string& file);
    void finishLevel();
    // Lets the time limit run again (after a shuffle).
    void restartTimer();

    // The level windows are opened through these, by class name
    // ("WinLevelWindow", "FailLevelWindow", "PlayLevelWindow", "IngameMenuWindow");
    // the opener returns the window it showed. Without an opener the mode
    // logs that the window is not there yet and goes on as its default result.
    using LevelWindowOpener = std::function<DialogWindow*(const LevelWindowRequest&)>;
    void setLevelWindowOpener(const std::string& className, LevelWindowOpener opener);
    bool hasLevelWindowOpener(const std::string& className) const;
    // Hears each board call as a line (tools list them).
    std::function<void(const std::string&)> trace;

    const LevelOutcome& outcome() const { return mOutcome; }
    // The level's score, as the score bar holds it.
    int32_t score() const;
    EpisodeLevel* currentLevel() const { return mLevel; }
    const std::string& levelScript() const { return mLevelScript; }

    void showMap();
    // Session closed: the friend request records go; requests received: to the map.
    void onMessage(const FacebookMessage& message) override;
    // The Lua command "newGame": the current level again.
    void newGame();
    void addHeart();
    void updateLocks();
    void updateProgress();

    const std::string& getSuffix() const { return mSuffix; }
    const EpisodeList& getEpisodes() const { return mEpisodes; }
    EpisodeList& episodes() { return mEpisodes; }
    bool hasProgress() const { return mHasProgress; }
    int32_t getHearts() const { return mHearts; }
    void setHearts(int32_t hearts) { mHearts = hearts; }
    int64_t getHeartTime() const { return mHeartTime; }
    int32_t getExtraMoves() const { return mExtraMoves; }
    // A gift of moves from a friend, added to the next move-limited level.
    void setExtraMoves(int32_t moves) { mExtraMoves = moves; }
    int32_t getCurrentEpisode() const { return mCurrentEpisode; }
    int32_t getCurrentPart() const { return mCurrentPart; }
    int32_t getCurrentLevel() const { return mCurrentLevel; }
    MainModeMapState* getMapState() const { return mMapState; }

    // The section's record of this tree, and its values put back into the tree.
    MainModeProgress toProgress() const;
    void applyProgress(const MainModeProgress& progress);

private:
    std::string mSuffix;
    std::string mLevelScript;
    MainModeMapState* mMapState = nullptr;  // owned by the state manager once registered
    bool mHasProgress = false;
    EpisodeList mEpisodes;
    int32_t mHearts = 5;
    int64_t mHeartTime = 0;
    int32_t mCurrentEpisode = 0;
    int32_t mCurrentPart = 0;
    int32_t mCurrentLevel = 0;
    int32_t mExtraMoves = 0;
    bool mLevelRunning = false;
    bool mOwnsNewGameCommand = false;

    void createHelpers();
    void deleteHelpers();
    bool goalsReached() const;
    bool bonusChipsMerging() const;
    void goalsReachedCheck();
    void addPoints(int points);
    void openLevelWindow(const std::string& className, const LevelWindowRequest& request);
    void onWinWindowClosed(int result);
    void emitTrace(const std::string& line);
    static GameLevel* gameLevel();

    GoalsHelper* mGoals = nullptr;
    LimitHelper* mLimit = nullptr;
    ProgressHelper* mProgress = nullptr;
    ScoreTextHelper* mScoreText = nullptr;
    LevelEndHelper* mLevelEnd = nullptr;
    // How often the mode raised the level's dialog count this level; lowered again once it is settled.
    int mDialogRaises = 0;
    void holdBoard();
    void releaseBoard();
    NomovesLevelWindow* noMovesWindow() const;
    void onNoMovesWindowClosed(NomovesLevelWindow* window);
    BonusChipHelper* mBonusChips = nullptr;
    IceHelper* mIce = nullptr;
    ChainBombHelper* mChainBombs = nullptr;
    ChipGeneratorHelper* mChipGenerators = nullptr;
    ChipUpHelper* mChipUp = nullptr;
    EpisodeLevel* mLevel = nullptr;
    bool mCompletedBefore = false;
    bool mWinStarted = false;
    bool mFailed = false;
    bool mPlayStarted = false;
    bool mNoMovesPending = false;
    bool mMenuAllowed = false;
    bool mLimitRefused = false;
    int32_t mSilverReward = 0;
    LevelOutcome mOutcome;
    std::map<std::string, LevelWindowOpener> mWindowOpeners;
    // Windows the mode opened and waits on, until each answers; not owned.
    std::map<DialogWindow*, std::string> mOpenedWindows;
    // The game's own level windows, made at the first activation with an interface.
    std::unique_ptr<MainModeWindows> mLevelWindows;
};
