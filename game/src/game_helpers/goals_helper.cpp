#include "game_helpers/goals_helper.h"

extern "C" {
#include <lua.h>
}

#include <cmath>

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/chip.h"
#include "board/chip_destroy_info.h"
#include "board/chip_manager.h"
#include "board/game_field.h"
#include "file_system.h"
#include "flow/game_level.h"
#include "flow/game_state_manager.h"
#include "format_string.h"
#include "game_helpers/level_goal_kind.h"
#include "log_system.h"
#include "render_system.h"
#include "lua_script2.h"

namespace {

constexpr char kFallingPrototype[] = "FallingLevelGoal";

AE::TextSceneNode* textNode(AE::ISceneNode* scene, const std::string& name) {
    AE::ISceneNode* node = scene ? scene->findNode(name) : nullptr;
    return node && node->getType() == AE::kTextNode ? static_cast<AE::TextSceneNode*>(node) : nullptr;
}

// A number, or a numeric string; anything else is not one.
bool numberOnTop(lua_State* L, double* out) {
    const int type = lua_type(L, -1);
    if ((type != LUA_TNUMBER && type != LUA_TSTRING) || !lua_isnumber(L, -1)) return false;
    *out = lua_tonumber(L, -1);
    return std::isfinite(*out) && std::fabs(*out) < 2147483647.0;
}

GameField* levelField() {
    GameStateManager* states = GameStateManager::instancePointer();
    auto* level = states ? static_cast<GameLevel*>(states->getGameLevel()) : nullptr;
    return level ? level->getField() : nullptr;
}

bool hasGoalLayer(const Chip* chip) {
    for (const Behavior* layer : chip->behaviors)
        if (layer->levelGoal) return true;
    return false;
}

void enableNode(AE::ISceneNode* scene, const std::string& name, bool enabled) {
    if (AE::ISceneNode* node = scene ? scene->findNode(name) : nullptr) node->setEnabled(enabled);
}

}  // namespace

GoalsHelper::GoalsHelper(const std::string& sceneName) {
    QV::FileSystem* files = QV::FileSystem::instancePointer();
    // A headless run draws nothing and has no sprites to build the dial from.
    if (files && files->hasFile("default", sceneName) && QV::RenderSystem::instancePointer())
        mScene = AE::loadScene(sceneName);
    for (int i = 0; i < 2; ++i) mSlots[i].text = textNode(mScene, QV::formatString("#text%d", i));
    mSlots[2].text = textNode(mScene, "#score_text");
    mSlots[2].kind = kGoalScore;
}

GoalsHelper::~GoalsHelper() { delete mScene; }

void GoalsHelper::readLevelGoals(QV::LuaScript2& script) {
    lua_State* L = script.state();
    mFallingToSpawn = 0;
    mConfigured[0] = mConfigured[1] = 0;
    script.pushField("LevelGoals");
    if (lua_istable(L, -1)) {
        for (int i = 0; i < 2; ++i) {
            lua_rawgeti(L, -1, i + 1);
            double value = 0;
            if (numberOnTop(L, &value)) mConfigured[i] = static_cast<int>(value);
            lua_pop(L, 1);
        }
        // A level has two goal slots; more entries are a mistake in the level, not a third goal.
        const size_t entries = lua_objlen(L, -1);
        if (entries > 2)
            QV::logLine(QV::formatString("WARNING: LevelGoals has %d entries; only the first two are read",
                                         static_cast<int>(entries)));
    }
    lua_pop(L, 1);
    for (int i = 0; i < 2; ++i) {
        if (mConfigured[i] < 0 || mConfigured[i] >= kLevelGoalKindCount) {
            QV::logLine(QV::formatString("WARNING: LevelGoals names the unknown goal kind %d; it counts as none",
                                         mConfigured[i]));
            mConfigured[i] = kGoalNone;
        }
    }
    script.pushField("TargetChips");
    const bool hasTargets = !lua_isnil(L, -1);
    double targets = 0;
    if (hasTargets && numberOnTop(L, &targets)) mFallingToSpawn = static_cast<int>(targets);
    lua_pop(L, 1);
    if (mFallingToSpawn < 0) mFallingToSpawn = 0;
    if (!hasTargets) return;
    script.pushField("TargetsInField");
    double atOnce = 0;
    if (numberOnTop(L, &atOnce)) mFallingAtOnce = static_cast<int>(atOnce);
    lua_pop(L, 1);
}

void GoalsHelper::resetScoreGoal(int target) {
    Slot& score = mSlots[2];
    score.kind = kGoalScore;
    score.target = target;
    score.done = score.shown = 0;
    score.timer = -1.0f;
    update(0.0f);
}

void GoalsHelper::buildGoalIcons() {
    int counts[kLevelGoalKindCount] = {};
    GameField* field = levelField();
    // Targets queued for a level played before must not fall into this one.
    if (field && field->chipManager) field->chipManager->spawnQueue.clear();
    if (field) {
        for (int row = 0; row <= field->gridHeight; ++row) {
            for (int column = 0; column < field->gridWidth; ++column) {
                const Cell* cell = field->cellAt(column, row);
                if (!cell) continue;
                if (cell->solidity >= 2) ++counts[kGoalTiles];
                const Chip* chip = cell->chip;
                if (!chip || chip->destroyed || !hasGoalLayer(chip)) continue;
                if (chip->hasBehavior(kFallingLevelGoal)) ++counts[kGoalFalling];
                else if (chip->hasBehavior(kStrongWall)) ++counts[kGoalStrongWalls];
                else if (chip->hasBehavior(kChipUp)) ++counts[kGoalChipUp];
                else ++counts[kGoalChips];
            }
        }
    }
    mFallingOnBoard = counts[kGoalFalling];
    // The dial stands where the level's field scene marks its place.
    GameStateManager* states = GameStateManager::instancePointer();
    auto* level = states ? static_cast<GameLevel*>(states->getGameLevel()) : nullptr;
    if (mScene && level) {
        const LevelLayoutMarker at = level->getLayoutMarker("goals");
        if (at.found) mScene->setPosition(QV::Vector2<float>(at.x, at.y));
    }
    int filled = 0;
    for (; filled < 2; ++filled) {
        const int kind = mConfigured[filled];
        if (kind == kGoalNone || kind == kGoalScore) break;
        Slot& slot = mSlots[filled];
        slot.kind = kind;
        slot.done = slot.shown = 0;
        slot.timer = -1.0f;
        if (slot.text) slot.text->setEnabled(true);
        slot.target = counts[kind];
        // The placeholder keeps its place and motion and takes the goal's picture.
        AE::ISceneNode* icon = mScene ? mScene->findNode(QV::formatString("#icon%d", filled)) : nullptr;
        if (icon && icon->getType() == AE::kSpriteNode)
            static_cast<AE::SpriteSceneNode*>(icon)->loadSprite("targets_sprites_lua", getLevelGoalSpriteName(kind));
        if (kind == kGoalFalling) {
            slot.target = counts[kGoalFalling] + mFallingToSpawn;
            queueFallingTargets();
        }
    }
    if (mScene) {
        const std::string marker = QV::formatString("goals%d", filled);
        if (AE::Marker* found = mScene->findMarker(marker)) found->play(true);
        else QV::logLine(QV::formatString("ERROR: Can't find marker '%s' in node '%s'", marker.c_str(), mScene->mName.c_str()));
    }
    for (int i = filled; i < 2; ++i) mSlots[i].kind = kGoalNone;
    enableNode(mScene, "goal1", mSlots[0].kind != kGoalNone);
    enableNode(mScene, "goal2", mSlots[1].kind != kGoalNone);
    enableNode(mScene, "#score", hasNoGoals());
    update(0.0f);
}

void GoalsHelper::queueFallingTargets() {
    GameField* field = levelField();
    ChipManager* chips = field ? field->chipManager : nullptr;
    while (mFallingToSpawn > 0 && mFallingOnBoard < mFallingAtOnce) {
        if (chips) chips->spawnQueue.push_back(kFallingPrototype);
        --mFallingToSpawn;
        ++mFallingOnBoard;
    }
}

void GoalsHelper::onChipDestroyed(const ChipDestroyInfo& info) {
    if (info.levelGoals <= 0) return;
    int kind = kGoalChips;
    if (info.hasAnyKind(kFallingLevelGoal)) kind = kGoalFalling;
    else if (info.hasAnyKind(kChipUp)) kind = kGoalChipUp;
    else if (info.hasAnyKind(kStrongWall)) kind = kGoalStrongWalls;
    if (mSlots[0].kind == kind) countGoal(0);
    else if (mSlots[1].kind == kind) countGoal(1);
}

void GoalsHelper::countGoal(int i) {
    if (i < 0 || i > 1) return;
    Slot& slot = mSlots[i];
    // A counter never passes its target.
    if (slot.done < slot.target) ++slot.done;
    if (slot.timer == 0.0f) slot.timer = kCounterDuration;
    if (slot.kind == kGoalFalling) {
        if (mFallingOnBoard > 0) --mFallingOnBoard;
        queueFallingTargets();
    }
}

void GoalsHelper::addScore(int points) {
    Slot& score = mSlots[2];
    score.done += points;
    if (score.timer == 0.0f) score.timer = kCounterDuration;
}

bool GoalsHelper::areGoalsReached() const {
    if (hasNoGoals()) return mSlots[2].done >= mSlots[2].target;
    for (int i = 0; i < 2; ++i)
        if (mSlots[i].kind != kGoalNone && mSlots[i].done < mSlots[i].target) return false;
    return true;
}

void GoalsHelper::update(float dt) {
    for (Slot& slot : mSlots) {
        if (slot.kind == kGoalNone || slot.timer == 0.0f) continue;
        slot.timer = slot.timer - dt > 0.0f ? slot.timer - dt : 0.0f;
        const int step = static_cast<int>((slot.done - slot.shown) * (slot.timer / kCounterDuration) + 0.5f);
        if (slot.text) slot.text->setText(QV::formatString("%d/%d", slot.done - step, slot.target));
        if (step == 0) slot.shown = slot.done;
    }
    if (mScene) mScene->update(dt);
}

void GoalsHelper::render() {
    if (mScene) AE::drawScene(mScene);
}

std::string GoalsHelper::describe() const {
    if (hasNoGoals()) return "goals score";
    std::string line = "goals";
    for (int i = 0; i < 2; ++i) {
        const Slot& slot = mSlots[i];
        if (slot.kind == kGoalNone) continue;
        line += QV::formatString(" %s:%d/%d", levelGoalKindName(slot.kind), slot.done, slot.target);
    }
    return line;
}
