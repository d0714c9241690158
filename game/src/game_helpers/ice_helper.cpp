#include "game_helpers/ice_helper.h"

extern "C" {
#include <lua.h>
}

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "board/task.h"
#include "board/view/field_effects.h"
#include "flow/game_level.h"
#include "format_string.h"
#include "game_helpers/level_board.h"
#include "lua_script2.h"

namespace {

bool hasIceKind(const Chip* chip) {
    return chip->hasBehavior(kIce) || chip->hasBehavior(kIceChip1) || chip->hasBehavior(kIceChip2) ||
           chip->hasBehavior(kIceChip3);
}

// A number of the open table, truncated; absent when not a finite number.
bool readNumber(QV::LuaScript2& script, const char* key, int* out) {
    lua_State* L = script.state();
    script.pushField(key);
    const bool ok = lua_type(L, -1) == LUA_TNUMBER || (lua_type(L, -1) == LUA_TSTRING && lua_isnumber(L, -1));
    double value = ok ? lua_tonumber(L, -1) : 0.0;
    lua_pop(L, 1);
    if (!ok || !std::isfinite(value)) return false;
    value = std::clamp(value, -1.0e6, 1.0e6);
    *out = static_cast<int>(value);
    return true;
}

// Removes the outermost layer of that kind; false when the chip has none.
bool removeLayer(Chip* chip, int kind) {
    auto& items = chip->behaviors.items;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if ((*it)->kind != kind) continue;
        delete *it;
        items.erase(std::next(it).base());
        return true;
    }
    return false;
}

}  // namespace

IceHelper::IceHelper() = default;

IceHelper::~IceHelper() = default;

void IceHelper::readLevel(QV::LuaScript2& script) {
    int type = 0;
    readNumber(script, "LevelLimitType", &type);
    mTimed = type == 1;
    int limit = 0;
    // The limit's own fallback: a level may give its time as "LevelTime".
    if (!readNumber(script, "LevelLimit", &limit)) readNumber(script, "LevelTime", &limit);
    mThreshold = mTimed ? limit - kTimedPeriod : 0;
    mRadius = kDefaultRadius;
    readNumber(script, "radius", &mRadius);
    if (mRadius < 1) mRadius = 1;
    mFreezeAfterMove = false;
    mFreezes = 0;
}

void IceHelper::onLimitChanged(int, int newValue) {
    if (!mTimed) return;
    if (newValue <= mThreshold) {
        freeze();
        mThreshold -= kTimedPeriod;
    } else if (newValue > mThreshold + kTimedPeriod) {
        mThreshold = newValue - kTimedPeriod;  // time was added
    }
}

bool IceHelper::onNeighbourDestroyed(Chip* destroyed, Chip* neighbour) {
    if (!destroyed || !neighbour) return false;
    // Only a chip that is gone knocks: one that merely lost a layer (an iced
    // chip thawing) would otherwise pass the knock on through the ice.
    if (!destroyed->behaviors.empty()) return false;
    if (hasIceKind(destroyed) || destroyed->hasBehavior(kWall) || destroyed->hasBehavior(kDWall) ||
        destroyed->hasBehavior(kCWall))
        return false;
    if (!hasIceKind(neighbour)) return false;
    neighbour->destroy(currentGameField(), false, false);
    return true;
}

void IceHelper::update(float) {
    if (mTimed || !mFreezeAfterMove) return;
    GameField* field = currentGameField();
    if (!field || field->taskManager->size() != 0) return;
    // Matches left by the move first; the freeze waits for a still board.
    if (levelDialogCount() <= 0 && field->destroyMatches(true)) return;
    mFreezeAfterMove = false;
    freeze();
}

int IceHelper::getKind() const { return 5; }

std::string IceHelper::describe() const {
    int sources = 0;
    if (GameField* field = currentGameField(); field && field->chipManager)
        for (const Chip* chip : field->chipManager->pool) sources += !chip->destroyed && chip->hasBehavior(kIce);
    if (sources == 0 && mFreezes == 0) return std::string();
    return QV::formatString("ice timed=%d threshold=%d radius=%d pending=%d freezes=%d", mTimed ? 1 : 0, mThreshold,
                            mRadius, mFreezeAfterMove ? 1 : 0, mFreezes);
}

Behavior* IceHelper::stageLayer(int kind, int colour) {
    const int index = kind - kIceChip1;
    if (!mStages[index]) mStages[index].reset(Behavior::createByKind(kind, colour));
    return new Behavior(*mStages[index]);
}

void IceHelper::freeze() {
    GameField* field = currentGameField();
    if (!field || !field->chipManager || field->rows.empty()) return;
    // A radius past the grid reaches nothing more.
    const int radius = std::min(mRadius, std::max(field->gridWidth, field->gridHeight + 1));
    // The ring is only a picture: a level without pictures goes without it.
    GameLevel* level = currentGameLevel();
    const bool pictures = level && !level->isHeadless();
    const std::vector<Chip*> pool = field->chipManager->pool;
    bool froze = false;
    for (Chip* chip : pool) {
        if (chip->destroyed || !chip->hasBehavior(kIce)) continue;
        if (pictures) field->effectList()->add(new FreezingRingEffect(field, chip->position, static_cast<float>(radius)));
        freezeFrom(field, chip, radius);
        froze = true;
    }
    if (froze) ++mFreezes;
}

void IceHelper::freezeFrom(GameField* field, Chip* source, int radius) {
    // Breadth first, keeping the best depth left per cell: the cells a walk
    // through every path would reach, each visited a bounded number of times.
    const int width = field->gridWidth;
    const int height = field->gridHeight;
    std::vector<int> best(static_cast<size_t>(width) * static_cast<size_t>(height + 1), -1);
    struct Step {
        int column, row, depth;
    };
    std::deque<Step> queue;
    static const int kOffsets[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    auto spread = [&](int column, int row, int depth) {
        for (const auto& offset : kOffsets) queue.push_back({column + offset[0], row + offset[1], depth});
    };
    spread(static_cast<int>(source->position.x), static_cast<int>(source->position.y), radius - 1);
    std::vector<Chip*> collected;
    while (!queue.empty()) {
        const Step step = queue.front();
        queue.pop_front();
        if (step.column < 0 || step.column >= width || step.row < 0 || step.row > height) continue;
        Cell* cell = field->cellAt(step.column, step.row);
        if (!cell || cell->solidity == 0 || !cell->chip) continue;
        Chip* chip = cell->chip;
        if (chip->destroyed || chip->destroyInProgress || chip->hasBehavior(kIce)) continue;
        int& seen = best[static_cast<size_t>(step.row) * static_cast<size_t>(width) + static_cast<size_t>(step.column)];
        if (chip->hasBehavior(kIceChip3)) {
            if (step.depth > seen && step.depth > 0) {
                seen = step.depth;
                spread(step.column, step.row, step.depth - 1);
            }
        } else if (chip->hasBehavior(kSimple)) {
            if (std::find(collected.begin(), collected.end(), chip) == collected.end()) collected.push_back(chip);
        }
    }
    for (Chip* chip : collected) {
        if (chip->destroyInProgress || chip->selected) continue;
        if (removeLayer(chip, kIceChip2)) {
            chip->behaviors.add(stageLayer(kIceChip3, chip->group));
        } else if (removeLayer(chip, kIceChip1)) {
            chip->behaviors.add(stageLayer(kIceChip2, chip->group));
        } else {
            chip->behaviors.add(stageLayer(kIceChip1, chip->group));
        }
    }
}
