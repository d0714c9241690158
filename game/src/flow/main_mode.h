#pragma once

#include <cstdint>
#include <string>

#include "flow/episode.h"
#include "flow/game_state.h"
#include "board/mode.h"

class MainModeMapState;
struct MainModeProgress;

// The game's mode: the episode tree with the player's progress, its profile
// section, and where activation leads (the intro on a fresh profile, the map
// otherwise). The level's rules come with the level state.
class MainMode : public Mode, public MovieStateListener {
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
    bool createBonusChip(MatchLines&) override { return false; }
    bool tryFuseBonusChips(Chip*, Chip*) override { return false; }
    void onMovieFinished() override;

    void showMap();
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
    int32_t getExtraMoves() const { return mExtraMoves; }
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
};
