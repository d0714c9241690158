#include "dialogs/level_preview.h"

extern "C" {
#include <lua.h>
}

#include "dialogs/translated_format.h"
#include "flow/episode.h"
#include "format_string.h"
#include "log_system.h"
#include "lua_script2.h"
#include "player/player_profile.h"
#include "report_assert.h"
#include "ui/text_manager.h"
#include "ui/wide_string.h"

namespace {

constexpr int32_t kPanelOrder[] = {1, 2, 3, 5, 6};

// A number field of the table on top; 0 when absent or not a number.
int32_t intField(lua_State* L, const char* name) {
    lua_getfield(L, -1, name);
    const int32_t value = lua_isnumber(L, -1) ? int32_t(lua_tonumber(L, -1)) : 0;
    lua_pop(L, 1);
    return value;
}

void readGoalKinds(lua_State* L, const std::string& script, LevelPreview* preview) {
    lua_getfield(L, -1, "LevelGoals");
    if (lua_istable(L, -1)) {
        const size_t entries = lua_objlen(L, -1);
        // The windows have room for two goals.
        if (entries > 2)
            QV::logLine(QV::formatString("WARNING: %s names %d goals; only the first two are shown", script.c_str(),
                                         int(entries)));
        for (int i = 0; i < 2; ++i) {
            lua_rawgeti(L, -1, i + 1);
            int32_t kind = lua_isnumber(L, -1) ? int32_t(lua_tonumber(L, -1)) : 0;
            lua_pop(L, 1);
            if (kind < 0 || kind >= LevelPreview::kGoalKinds) {
                QV::logLine(QV::formatString("WARNING: %s has an unknown goal kind %d", script.c_str(), kind));
                kind = 0;
            }
            preview->goalKinds[i] = kind;
        }
    }
    lua_pop(L, 1);
}

// The goal kind a chip type counts for; 0 for none.
int32_t goalKindOfChip(const std::string& type) {
    if (type.find("StrongWall") != std::string::npos) return 5;
    if (type.find("Wall") != std::string::npos) return 1;
    if (type.find("Falling") != std::string::npos) return 3;
    if (type == "ChipUp") return 6;
    return 0;
}

void countChips(lua_State* L, LevelPreview* preview) {
    lua_getfield(L, -1, "Chips");
    if (lua_istable(L, -1)) {
        for (int i = 1;; ++i) {
            lua_rawgeti(L, -1, i);
            if (!lua_istable(L, -1)) {
                lua_pop(L, 1);
                break;
            }
            lua_getfield(L, -1, "Type");
            const int32_t kind = lua_isstring(L, -1) ? goalKindOfChip(lua_tostring(L, -1)) : 0;
            if (kind != 0) ++preview->goalCounts[kind];
            lua_pop(L, 2);
        }
    }
    lua_pop(L, 1);
}

void countTiles(lua_State* L, LevelPreview* preview) {
    lua_getfield(L, -1, "Grid");
    if (lua_istable(L, -1)) {
        lua_getfield(L, -1, "Cells");
        if (lua_istable(L, -1)) {
            for (int i = 1;; ++i) {
                lua_rawgeti(L, -1, i);
                if (!lua_istable(L, -1)) {
                    lua_pop(L, 1);
                    break;
                }
                if (intField(L, "Solidity") > 1) ++preview->goalCounts[2];
                lua_pop(L, 1);
            }
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
}

}  // namespace

std::vector<int32_t> goalPanelKinds(const LevelPreview& preview) {
    std::vector<int32_t> kinds;
    for (int32_t kind : kPanelOrder) {
        if (kinds.size() == 2) break;
        if (preview.goalKinds[0] == kind || preview.goalKinds[1] == kind) kinds.push_back(kind);
    }
    return kinds;
}

int32_t starsForScore(const int32_t thresholds[3], int32_t score) {
    int32_t stars = 0;
    while (stars < 3 && thresholds[stars] <= score) ++stars;
    return stars;
}

bool readLevelPreview(const EpisodeLevel& level, const std::string& script, LevelPreview* preview) {
    *preview = LevelPreview{};
    preview->title = level.mTitle;
    preview->titleIsTextId = level.mTitleIsTextId;
    preview->bestScore = level.mBestScore;
    for (int i = 0; i < 3; ++i) preview->starThresholds[i] = level.mStarThresholds[i];

    QV::LuaScript2 lua(QV::createLuaState());
    if (!lua.loadScript(script, "default")) QV_FATAL(QV::formatString("Not found %s level file!", script.c_str()));
    lua_State* L = lua.state();
    lua_getglobal(L, "GameField");
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        return false;
    }
    preview->goalCounts[3] = intField(L, "TargetChips");
    preview->timeLimited = intField(L, "LevelLimitType") != 0;
    readGoalKinds(L, script, preview);
    countChips(L, preview);
    countTiles(L, preview);
    lua_pop(L, 1);
    return true;
}

void fillPassiveSlots(const PlayerProfile& profile, LevelPreview* preview) {
    size_t used = 0;
    for (int32_t kind : profile.mUnlockedPassiveBoosters) {
        if (used == 3) break;
        // Kinds outside the three would index past the profile's records.
        if (kind < 0 || kind >= kPassiveBoosterKinds) continue;
        preview->passiveSlots[used++] = kind;
    }
    for (size_t i = used; i < 3; ++i) preview->passiveSlots[i] = -1;
}

namespace {

std::u16string translated(const std::string& id) {
    const QV::TextManager* texts = QV::TextManager::instancePointer();
    return texts ? texts->translate(id) : QV::toWide(id);
}

}  // namespace

std::u16string levelNumberText(const LevelPreview& preview) {
    const std::string title = preview.titleIsTextId ? QV::toNarrow(translated(preview.title)) : preview.title;
    return formatTranslated(translated("LEVEL_NUM"), "s", title.c_str());
}

std::u16string translatedWithNumber(const std::string& textId, int32_t value) {
    return formatTranslated(translated(textId), "d", int(value));
}
