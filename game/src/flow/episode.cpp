#include "flow/episode.h"

#include <algorithm>

#include "format_string.h"
#include "log_system.h"
#include "lua_script2.h"

extern "C" {
#include <lua.h>
}

EpisodePart::~EpisodePart() {
    for (EpisodeLevel* level : mLevels) delete level;
    mLevels.clear();
}

Episode::~Episode() {
    for (EpisodePart* part : mParts) delete part;
    mParts.clear();
}

namespace {

// Calls visit once per table entry 1..n of the table on top, opened as the current table.
template <class F>
void forEachEntry(QV::LuaScript2& lua, F visit) {
    lua_State* L = lua.state();
    for (int i = 1;; ++i) {
        lua_rawgeti(L, -1, i);
        if (!lua_istable(L, -1)) {
            lua_pop(L, 1);
            break;
        }
        lua.openTopTable();
        visit();
        lua.closeTable();
        lua_pop(L, 1);
    }
}

struct EpisodeReader {
    std::string suffix;
    int32_t nextLevel = 0;
    int32_t nextPart = 0;
    int32_t nextEpisode = 0;

    EpisodeLevel* readLevel(QV::LuaScript2& lua, const EpisodeLevel* previous) {
        EpisodeLevel* level = new EpisodeLevel();
        level->mId = nextLevel++;
        lua.getString("file", &level->mFile);
        lua.getString("back1", &level->mBack1);
        lua.getString("back2", &level->mBack2);
        lua.getString("movieScene", &level->mMovieScene);
        std::string title;
        if (!lua.getString("title", &title)) {
            level->mTitle = level->mFile;
        } else if (!title.empty() && title[0] == '#') {
            level->mTitle = title.substr(1);
            level->mTitleIsTextId = true;
        } else {
            level->mTitle = title;
        }
        if (previous) {
            if (level->mBack1.empty()) level->mBack1 = previous->mBack1;
            if (level->mBack2.empty()) level->mBack2 = previous->mBack2;
        }
        readStarThresholds(level->mFile + suffix + "_lua", level->mStarThresholds);
        return level;
    }

    EpisodePart* readPart(QV::LuaScript2& lua) {
        EpisodePart* part = new EpisodePart();
        part->mId = nextPart++;
        part->mClosed = true;
        if (lua.openTable("levels")) {
            forEachEntry(lua, [&] {
                part->mLevels.push_back(readLevel(lua, part->mLevels.empty() ? nullptr : part->mLevels.back()));
            });
            lua.closeTable();
        }
        lua.getString("openMarker", &part->mOpenMarker);
        return part;
    }

    Episode* readEpisode(QV::LuaScript2& lua) {
        Episode* episode = new Episode();
        episode->mId = nextEpisode++;
        lua.getString("mapScene", &episode->mMapScene);
        if (lua.openTable("parts")) {
            forEachEntry(lua, [&] { episode->mParts.push_back(readPart(lua)); });
            lua.closeTable();
        }
        if (episode->mId == 0 && !episode->mParts.empty()) episode->mParts[0]->mClosed = false;
        return episode;
    }
};

}  // namespace

EpisodeList readEpisodes(const std::string& script, const std::string& suffix) {
    EpisodeList episodes;
    QV::LuaScript2 lua(QV::createLuaState());
    if (!lua.loadScript(script, "default") || !lua.openTable("episodes")) {
        QV::logLine(QV::formatString("WARNING: No episodes in '%s'", script.c_str()));
        return episodes;
    }
    EpisodeReader reader;
    reader.suffix = suffix;
    forEachEntry(lua, [&] { episodes.push_back(reader.readEpisode(lua)); });
    lua.closeTable();
    return episodes;
}

void deleteEpisodes(EpisodeList& episodes) {
    for (Episode* episode : episodes) delete episode;
    episodes.clear();
}

void readStarThresholds(const std::string& levelScript, int32_t thresholds[3]) {
    for (int i = 0; i < 3; ++i) thresholds[i] = kDefaultStarThresholds[i];
    QV::LuaScript2 lua(QV::createLuaState());
    if (!lua.loadScript(levelScript, "default")) return;
    if (!lua.openTable("GameField")) return;
    if (lua.openTable("stars")) {
        // Level data gives at most three; anything beyond is ignored.
        for (int i = 0; i < 3; ++i) {
            float value = 0.0f;
            if (!lua.getFloatAt(i + 1, &value)) break;
            thresholds[i] = int32_t(value);
        }
        lua.closeTable();
    }
    lua.closeTable();
}

void updateLocks(EpisodeList& episodes) {
    const EpisodePart* previous = nullptr;
    for (Episode* episode : episodes) {
        for (EpisodePart* part : episode->mParts) {
            if (!previous) {
                part->mClosed = false;
            } else if (previous->mClosed) {
                part->mClosed = true;
                for (EpisodeLevel* level : part->mLevels) {
                    level->mCompleted = false;
                    level->mBestScore = 0;
                }
            }
            previous = part;
        }
    }
}

bool isPartComplete(const EpisodePart* part) {
    for (const EpisodeLevel* level : part->mLevels)
        if (!level->mCompleted) return false;
    return true;
}

bool isEpisodeComplete(const Episode* episode) {
    for (const EpisodePart* part : episode->mParts)
        if (!isPartComplete(part) || part->mClosed) return false;
    return true;
}

void resetEpisode(Episode* episode) {
    for (EpisodePart* part : episode->mParts) {
        part->mClosed = true;
        for (EpisodeLevel* level : part->mLevels) {
            level->mCompleted = false;
            level->mBestScore = 0;
        }
    }
}

ProgressPosition computeProgressPosition(const EpisodeList& episodes) {
    ProgressPosition at;
    const int32_t episodeCount = int32_t(episodes.size());
    for (const Episode* episode : episodes) {
        const int32_t partCount = int32_t(episode->mParts.size());
        if (isEpisodeComplete(episode)) {
            at.episode = std::min(at.episode + 1, episodeCount - 1);
            at.part = std::max(partCount - 1, 0);
            at.level = partCount > 0 ? std::max(int32_t(episode->mParts.back()->mLevels.size()) - 1, 0) : 0;
            continue;
        }
        at.part = 0;
        at.level = 0;
        for (const EpisodePart* part : episode->mParts) {
            if (isPartComplete(part) && !part->mClosed) {
                at.part = std::min(at.part + 1, partCount - 1);
                continue;
            }
            int32_t leading = 0;
            while (leading < int32_t(part->mLevels.size()) && part->mLevels[size_t(leading)]->mCompleted) ++leading;
            at.level = std::max(std::min(leading, int32_t(part->mLevels.size()) - 1), 0);
            break;
        }
        break;
    }
    at.hasProgress = at.episode != 0 || at.part != 0 || at.level != 0;
    return at;
}

std::vector<FriendProgress> buildFriendsProgressList(const FriendProgressMap& progress, uint64_t playerId) {
    size_t limit = 5;
    const auto own = progress.find(playerId);
    if (own != progress.end()) limit = 4;
    std::vector<FriendProgress> list;
    for (const auto& entry : progress)
        if (entry.second > 0 && entry.first != playerId) list.push_back({entry.first, entry.second});
    if (list.size() > limit) list.resize(limit);
    if (own != progress.end() && own->first != 0) list.push_back({own->first, own->second});
    std::stable_sort(list.begin(), list.end(),
                     [](const FriendProgress& a, const FriendProgress& b) { return a.progress > b.progress; });
    return list;
}

std::vector<uint64_t> buildFriendsWithoutProgressList(const FriendProgressMap& progress, uint64_t playerId) {
    std::vector<uint64_t> ids;
    for (const auto& entry : progress)
        if (entry.first != playerId && entry.second == 0) ids.push_back(entry.first);
    return ids;
}
