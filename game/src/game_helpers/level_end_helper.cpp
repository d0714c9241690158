#include "game_helpers/level_end_helper.h"

#include <algorithm>
#include <cstdlib>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/board_sound.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "board/task.h"
#include "file_system.h"
#include "flow/game_level.h"
#include "flow/game_state_manager.h"
#include "format_string.h"
#include "game_helpers/move_limit_helper.h"
#include "game_helpers/timer_helper.h"
#include "log_system.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "render_system.h"
#include "sound_system/sound_description.h"
#include "sound_system/sound_manager.h"
#include "tutorial/tutorial_registry.h"

namespace {

constexpr char kWinScene[] = "win_effect_scene_xml";
constexpr char kEndEffectsScene[] = "level_bonus_end_effects_xml";
constexpr char kConversionSound[] = "fusion_chip_effect_sound";
constexpr int kWinLayer = 3;

// By the number of conversions so far: bomb, horizontal wave, vertical wave.
const char* const kBonusPrototypes[3] = {"Bomb_%s", "WaveHor_%s", "WaveVer_%s"};
// Frame steps leave a hair of the 0.5 s over; that hair counts as run out.
constexpr float kTimerSlack = 1.0e-4f;

GameLevel* gameLevel() {
    GameStateManager* states = GameStateManager::instancePointer();
    return states ? static_cast<GameLevel*>(states->getGameLevel()) : nullptr;
}

// Scenes are drawn only with a render system; a headless run stands an empty
// scene in, whose marker ends at its first update.
AE::ISceneNode* loadShownScene(const std::string& name) {
    QV::FileSystem* files = QV::FileSystem::instancePointer();
    if (QV::RenderSystem::instancePointer() && files && files->hasFile("default", name)) return AE::loadScene(name);
    auto* scene = new AE::ISceneNode();
    scene->addMarker(new AE::Marker("init"));
    return scene;
}

bool isBonusChip(const Chip* chip) {
    for (const Behavior* layer : chip->behaviors)
        if (layer->kind >= kBombStage1 && layer->kind <= kSuperStar) return true;
    return false;
}

}  // namespace

LevelEndHelper::LevelEndHelper() {
    if (QV::SoundManager* sound = QV::SoundManager::instancePointer()) {
        mSound = sound->acquireResource(kConversionSound);
        if (!mSound) {
            QV::SoundDescription description;
            description.fileName = kConversionSound;
            description.group = 0;
            description.volume = 1.0f;
            description.looped = false;
            description.priority = 0;
            mSound = sound->loadResource(description);
        }
    }
    QV::FileSystem* files = QV::FileSystem::instancePointer();
    if (QV::RenderSystem::instancePointer() && files && files->hasFile("default", kEndEffectsScene))
        mEndEffects = AE::loadScene(kEndEffectsScene);
}

LevelEndHelper::~LevelEndHelper() {
    if (QV::SoundManager* sound = QV::SoundManager::instancePointer()) {
        if (mSound) sound->releaseResource(mSound);
    }
    delete mEndEffects;
    // A win effect still on the board must not tell a deleted listener.
    if (GameField* board = field()) {
        for (GameFieldEffect* effect : board->effectList()->getEffects())
            if (effect == mEffect) effect->finished = true;
    }
}

GameField* LevelEndHelper::field() {
    GameLevel* level = gameLevel();
    return level ? level->getField() : nullptr;
}

void LevelEndHelper::start(LimitHelper* limit) {
    if (mStarted) return;
    mStarted = true;
    mState = kWinEffect;
    mLimit = limit;
    mCandidates.clear();
    mGivenUp.clear();
    mTried = nullptr;
    GameField* board = field();
    if (!board) return;
    for (int row = 1; row <= board->gridHeight; ++row)
        for (int column = 0; column < board->gridWidth; ++column)
            if (Cell* cell = board->cellAt(column, row); cell && cell->solidity > 0) mCandidates.push_back(cell);
}

void LevelEndHelper::onLevelStart() {
    mStarted = false;
    mFinished = false;
    mState = kWinEffect;
    mCandidates.clear();
    mGivenUp.clear();
    mTried = nullptr;
    mEffect = nullptr;
}

std::string LevelEndHelper::describe() const {
    return QV::formatString("levelend %s state %d conversions %d", mFinished ? "finished" : mStarted ? "started" : "idle",
                            mState, mConversions);
}

void LevelEndHelper::playWinEffect(GameField* board) {
    const int cs = board->cellSize;
    const float x = static_cast<float>(board->gridWidth * cs) * 0.5f;
    const float y = static_cast<float>(((board->gridHeight - 1) % 2) * cs) +
                    static_cast<float>((board->gridHeight + 1) * cs) * 0.5f;
    auto* effect = new SceneEffect(loadShownScene(kWinScene), kWinScene, kWinLayer, QV::Vector2<float>(x, y), 0.0f, "init");
    effect->addListener(this);
    mEffect = effect;
    board->effectList()->add(effect);
}

void LevelEndHelper::onSceneEffectFinished(SceneEffect* effect) {
    if (effect == mEffect) mEffect = nullptr;
    mState = kSettle;
    GameProperties* properties = GameProperties::instancePointer();
    GameLevel* level = gameLevel();
    if (level && properties && properties->profile()) level->setAmbientVolume(properties->profile()->mMusicVolume);
}

void LevelEndHelper::update(float dt) {
    if (!mStarted || mFinished) return;
    GameField* board = field();
    if (!board) return;
    if (isTutorialLessonActive(getTutorialSequences()) || board->unsettled || board->taskManager->size() > 0) return;
    switch (mState) {
        case kWinEffect:
            if (GameLevel* level = gameLevel()) level->setAmbientVolume(0.0f);
            mConversions = 0;
            mTimer = kStep;
            mState = kWaitEffect;
            playWinEffect(board);
            break;
        case kWaitEffect:
            break;
        case kSettle:
            mTimer -= dt;
            if (mTimer > kTimerSlack) break;
            mTimer = kStep;
            if (board->destroyMatches(true)) break;
            mState = !mLimit || mLimit->isExhausted() ? kSetOff : kConvert;
            break;
        case kConvert:
            mTimer -= dt;
            if (mTimer > kTimerSlack) break;
            if (!convertMoveToBonusChip()) mState = kSetOff;
            mTimer = kStep;
            break;
        case kSetOff:
            mTriedFor += dt;
            mTimer -= dt;
            if (mTimer > kTimerSlack) break;
            if (!setOffBonusChip()) {
                mState = kFinished;
                mFinished = true;
            }
            mTimer = kStep;
            break;
        default:
            break;
    }
}

void LevelEndHelper::spendOne() {
    if (!mLimit) return;
    if (mLimit->getKind() == 1) {
        auto* moves = static_cast<MoveLimitHelper*>(mLimit);
        moves->setCount(moves->remaining() - 1, false);
    } else if (mLimit->getKind() == 2) {
        auto* time = static_cast<TimerHelper*>(mLimit);
        time->setRemaining(std::max(time->remaining() - kTimePortion, 0.0f));
    }
}

bool LevelEndHelper::convertMoveToBonusChip() {
    GameField* board = field();
    if (!board) return false;
    if (!mCandidates.empty()) {
        const size_t index = static_cast<size_t>(std::rand()) % mCandidates.size();
        Cell* cell = mCandidates[index];
        mCandidates[index] = mCandidates.back();
        mCandidates.pop_back();
        Chip* chip = cell->chip;
        // Only a plain chip of a colour turns into a bonus chip; the pick costs nothing otherwise.
        if (!chip || chip->destroyed || chip->group < 0 || chip->group > 5 || chip->behaviors.size() != 1 ||
            chip->behaviors.back()->kind != kSimple)
            return true;
        const int group = chip->group;
        board->forgetChip(chip);
        chip->destroyed = 1;
        chip->behaviors.clear();
        const char letter[2] = {groupLetter(group), '\0'};
        const std::string name = QV::formatString(kBonusPrototypes[mConversions % 3], letter);
        Chip* created = board->chipManager ? board->chipManager->createChip(name, cell->column, cell->row) : nullptr;
        if (created) {
            cell->chip = created;
            // Put in its place at rest: a landing would hold the board (and the run) a frame.
            created->moveState = 0;
            created->position = QV::Vector2<float>(cell->column + 0.5f, cell->row + 0.5f);
            created->target = created->position;
            playBoardSound(mSound, kConversionSound);
        } else {
            QV::logLine("ERROR: The level end has no chip prototype '" + name + "'");
        }
    }
    spendOne();
    ++mConversions;
    return mLimit && !mLimit->isExhausted();
}

bool LevelEndHelper::setOffBonusChip() {
    GameField* board = field();
    ChipManager* chips = board ? board->chipManager : nullptr;
    if (!chips) return false;
    auto givenUp = [&](const Chip* chip) {
        return std::find(mGivenUp.begin(), mGivenUp.end(), std::make_pair(const_cast<Chip*>(chip), chip->generation)) !=
               mGivenUp.end();
    };
    for (Chip* chip : chips->pool) {
        if (chip->destroyed) continue;
        if (chip->hasBehavior(kBombStage2)) return true;
        if (!isBonusChip(chip) || givenUp(chip)) continue;
        if (chip != mTried || chip->generation != mTriedGeneration) {
            mTried = chip;
            mTriedGeneration = chip->generation;
            mTriedFor = 0.0f;
        } else if (mTriedFor >= kSetOffPatience) {
            // It keeps refusing: leave it and go on with the others.
            QV::logLine(QV::formatString("WARNING: The bonus chip at %d %d did not go off; the level end goes on without it",
                                         static_cast<int>(chip->position.x), static_cast<int>(chip->position.y)));
            mGivenUp.emplace_back(chip, chip->generation);
            mTried = nullptr;
            continue;
        }
        chip->destroy(board, true, false);
        return true;
    }
    return false;
}
