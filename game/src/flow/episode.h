#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The main mode's fixed tree of episodes, parts and levels read from
// "main_mode_lua", with the player's progress kept in it.

struct EpisodeLevel {
    int32_t mId = 0;
    std::string mFile;
    bool mCompleted = false;
    std::string mTitle;
    bool mTitleIsTextId = false;
    std::string mBack1;
    std::string mBack2;
    std::string mMovieScene;
    int32_t mBestScore = 0;
    int32_t mStarThresholds[3] = {500, 1000, 2000};
};

struct EpisodePart {
    EpisodePart() = default;
    EpisodePart(const EpisodePart&) = delete;
    EpisodePart& operator=(const EpisodePart&) = delete;
    ~EpisodePart();

    std::vector<EpisodeLevel*> mLevels;
    std::string mOpenMarker;
    bool mClosed = true;
    int32_t mId = 0;
};

struct Episode {
    Episode() = default;
    Episode(const Episode&) = delete;
    Episode& operator=(const Episode&) = delete;
    ~Episode();

    std::vector<EpisodePart*> mParts;
    std::string mMapScene;
    int32_t mId = 0;
};

using EpisodeList = std::vector<Episode*>;

// Thresholds for one, two and three stars when a level names none.
constexpr int32_t kDefaultStarThresholds[3] = {500, 1000, 2000};

// Reads the tree from a data script of package "default"; ids count from 0 in
// load order. Each level's thresholds come from its script, the file stem
// followed by the suffix and "_lua". A missing script or "episodes" table gives
// no episodes (one warning).
EpisodeList readEpisodes(const std::string& script, const std::string& suffix);
void deleteEpisodes(EpisodeList& episodes);

// The "stars" of the script's "GameField" table, completed from the defaults.
void readStarThresholds(const std::string& levelScript, int32_t thresholds[3]);

// Opens the very first part; a part after a closed part is closed with its levels cleared.
void updateLocks(EpisodeList& episodes);
bool isPartComplete(const EpisodePart* part);
bool isEpisodeComplete(const Episode* episode);
// Every level not completed with no score, every part closed.
void resetEpisode(Episode* episode);

// The first level not yet completed.
struct ProgressPosition {
    int32_t episode = 0;
    int32_t part = 0;
    int32_t level = 0;
    bool hasProgress = false;
};
ProgressPosition computeProgressPosition(const EpisodeList& episodes);

// The friends' lists for the list windows, from a map of user id to progress.
struct FriendProgress {
    uint64_t userId = 0;
    int32_t progress = 0;
};
using FriendProgressMap = std::map<uint64_t, int32_t>;
std::vector<FriendProgress> buildFriendsProgressList(const FriendProgressMap& progress, uint64_t playerId);
std::vector<uint64_t> buildFriendsWithoutProgressList(const FriendProgressMap& progress, uint64_t playerId);
