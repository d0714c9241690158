#include "game_helpers/bonus_chip_helper.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/board_host.h"
#include "board/board_sound.h"
#include "board/board_tasks.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/chip_destroy_info.h"
#include "board/chip_manager.h"
#include "board/chip_selector.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "board/mode.h"
#include "board/move_hint.h"
#include "board/task.h"
#include "board/view/scene_effect.h"
#include "file_system.h"
#include "flow/game_level.h"
#include "flow/game_state_manager.h"
#include "format_string.h"
#include "game_helpers/fusion_bonus_task.h"
#include "game_helpers/fusion_chips_task.h"
#include "log_system.h"
#include "render_system.h"
#include "sound_system/sound_manager.h"

namespace {

constexpr char kMergeSound[] = "fusion_chip_effect_sound";
constexpr char kMergeScene[] = "merge_scene_xml";
constexpr int kMergeSceneLayer = 100;
constexpr float kColumnHoldTime = 0.23f;

bool isBomb(const Chip* chip) { return chip->hasBehavior(kBombStage1); }

bool isWave(const Chip* chip) {
    return chip->hasBehavior(kWaveDSide) || chip->hasBehavior(kWaveVer) || chip->hasBehavior(kWaveHor);
}

// The cell a chip belongs to: where it stands when that cell holds it, else where it goes.
Cell* homeCell(GameField* field, Chip* chip) {
    Cell* cell = field->getCell(chip->position.x, chip->position.y);
    if (cell && cell->chip == chip) return cell;
    return field->getCell(chip->target.x, chip->target.y);
}

QV::Vector2<float> centreOf(const Cell* cell) {
    return {static_cast<float>(cell->column) + 0.5f, static_cast<float>(cell->row) + 0.5f};
}

// Takes a chip off the board without a score or a layer's actions.
void removeQuietly(GameField* field, Chip* chip) {
    chip->selected = 0;
    chip->destroyed = 1;
    chip->behaviors.clear();
    chip->removeProperty("lock");
    field->forgetChip(chip);
}

}  // namespace

bool isLiveChip(const HeldChip& held) {
    return held.chip && held.chip->generation == held.generation && !held.chip->destroyed;
}

BonusChipHelper::BonusChipHelper(Mode* mode, FieldSource field) : mMode(mode), mFieldSource(std::move(field)) {
    if (QV::SoundManager* sound = QV::SoundManager::instancePointer()) {
        mMergeSound = sound->acquireResource(kMergeSound);
        if (mMergeSound == 0) {
            QV::SoundDescription description;
            description.fileName = kMergeSound;
            description.group = 0;
            description.volume = 1.0f;
            description.looped = false;
            description.priority = 1000;
            mMergeSound = sound->loadResource(description);
        }
    }
    // A headless run draws nothing and has no sprites for the scene.
    QV::FileSystem* files = QV::FileSystem::instancePointer();
    if (files && files->hasFile("default", kMergeScene) && QV::RenderSystem::instancePointer())
        mMergeScene = AE::loadScene(kMergeScene);
}

BonusChipHelper::~BonusChipHelper() {
    if (mMergeSound) {
        if (QV::SoundManager* sound = QV::SoundManager::instancePointer()) sound->releaseResource(mMergeSound);
    }
    delete mMergeScene;
}

GameField* BonusChipHelper::field() const {
    if (mFieldSource) return mFieldSource();
    GameStateManager* states = GameStateManager::instancePointer();
    auto* level = states ? static_cast<GameLevel*>(states->getGameLevel()) : nullptr;
    return level ? level->getField() : nullptr;
}

bool BonusChipHelper::isSimpleBonusChip(const Chip* chip) { return chip && (isBomb(chip) || isWave(chip)); }

std::string BonusChipHelper::fusedName(const Chip* a, const Chip* b) {
    if (!isSimpleBonusChip(a) || !isSimpleBonusChip(b)) return std::string();
    if (isBomb(a) && isBomb(b)) return "SuperBomb";
    if (isBomb(a)) return b->hasBehavior(kWaveVer) ? "SuperWaveVer" : "SuperWaveDSide";
    if (isBomb(b)) return a->hasBehavior(kWaveVer) ? "SuperWaveVer" : "SuperWaveDSide";
    return "Star";
}

std::string BonusChipHelper::colourLetter(int group) {
    static const char* const kLetters[] = {"R", "G", "B", "M", "Y", "O"};
    return group >= 0 && group < 6 ? kLetters[group] : std::string();
}

std::string BonusChipHelper::prototypeName(const std::string& base, bool withColour, int group) {
    if (!withColour) return base;
    const std::string letter = colourLetter(group);
    return letter.empty() ? base : QV::formatString("%s_%s", base.c_str(), letter.c_str());
}

bool BonusChipHelper::createBonusChipFromMatch(MatchLines& runs) {
    GameField* board = field();
    if (!board) return false;
    const int len1 = runs.rowRun.size() >= 3 ? static_cast<int>(runs.rowRun.size()) : 0;
    const int len2 = runs.columnRun.size() >= 3 ? static_cast<int>(runs.columnRun.size()) : 0;
    BonusChipSpec spec;
    if (len1 >= 5 || len2 >= 5) {
        spec.name = "DestroyColor";
    } else if (len1 >= 3 && len2 >= 3) {
        spec = {"Bomb", true};
    } else if (len1 == 4 || len2 == 4) {
        spec.withColour = true;
    } else {
        return false;
    }

    std::vector<Chip*> gathered;
    if (len1 > 0) gathered = runs.rowRun;
    if (len2 > 0) {
        for (Chip* chip : runs.columnRun)
            if (std::find(gathered.begin(), gathered.end(), chip) == gathered.end()) gathered.push_back(chip);
    }
    // The newest plain chip takes the bonus chip; a run of bonus chips only, the newest of them.
    Chip* key = nullptr;
    for (Chip* chip : gathered)
        if (!isSimpleBonusChip(chip) && (!key || chip->orderStamp > key->orderStamp)) key = chip;
    if (!key) {
        for (Chip* chip : gathered)
            if (!key || chip->orderStamp > key->orderStamp) key = chip;
    }
    if (!key) return false;
    if (spec.name.empty()) {
        // The swap's direction decides: a vertical swap leaves a horizontal wave.
        const DataHolder swap = key->getProperty("swap");
        const bool vertical = swap.container && swap.container->getString() == "ver";
        spec.name = vertical ? "WaveHor" : "WaveVer";
    }
    Cell* target = homeCell(board, key);
    const int group = key->group;

    for (Chip* chip : gathered)
        if (isSimpleBonusChip(chip) && !chip->destroyed) chip->destroy(board, true, false);

    std::vector<HeldChip> held;
    for (Chip* chip : gathered) held.push_back({chip, chip->generation});
    startMerge(spec, held, target, group);
    return true;
}

void BonusChipHelper::startMerge(const BonusChipSpec& spec, const std::vector<HeldChip>& chips, Cell* target,
                                 int group) {
    GameField* board = field();
    if (!board || !target) return;
    for (const HeldChip& held : chips)
        if (isLiveChip(held)) held.chip->setProperty("lock", DataHolder(1));

    float peel = 0.0f;
    for (const HeldChip& held : chips) {
        if (!isLiveChip(held) || held.chip->behaviors.size() <= 1) continue;
        peel += kLayerPeelStep;
        auto* task = new DestroyChipTask(held.chip, false, board);
        task->delay = peel;
        board->taskManager->addTask(task);
    }
    if (peel > 0.0f || mMergeTimer > 0.0f) {
        const int waitGroup = group >= 0 ? group : (target->chip ? target->chip->group : -1);
        auto* task = new FusionChipsTask(this, target, waitGroup, spec, chips);
        task->delay = peel + kLayerPeelStep;
        board->taskManager->addTask(task);
        return;
    }

    mBonusName = spec.name;
    mWithColour = spec.withColour;
    mMergeChips.clear();
    mMergeCells.clear();
    mMergeTimer = kMergeTime;
    mTargetCell = target;
    mColourGroup = group >= 0 ? group : (target->chip ? target->chip->group : -1);
    mMergeField = board;

    for (const HeldChip& held : chips) {
        Chip* chip = held.chip;
        if (!chip || chip->generation != held.generation) continue;
        if (!chip->destroyed) {
            mMergeChips.push_back(held);
            Cell* cell = homeCell(board, chip);
            chip->target = chip->position;
            if (cell && std::find(mMergeCells.begin(), mMergeCells.end(), cell) == mMergeCells.end())
                mMergeCells.push_back(cell);
        }
        // Walls beside the match lose a layer.
        const int column = static_cast<int>(chip->position.x);
        const int row = static_cast<int>(chip->position.y);
        static const int kSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& step : kSteps) {
            const int c = column + step[0];
            const int r = row + step[1];
            if (c < 0 || c >= board->gridWidth || r < 1 || r > board->gridHeight) continue;
            Cell* cell = board->cellAt(c, r);
            if (cell && cell->chip) Chip::hitByNeighbour(cell->chip, chip, board, true);
        }
    }
    // A chip the merge took is no longer a blast's to destroy (a wave of the run went off first).
    for (Task* task : board->taskManager->tasks) {
        auto* destroy = dynamic_cast<DestroyChipTask*>(task);
        if (!destroy) continue;
        for (const HeldChip& held : mMergeChips)
            if (destroy->chip == held.chip) destroy->chip = nullptr;
    }
    for (Cell* cell : mMergeCells) {
        cell->chip = nullptr;
        board->damageCell(cell);
    }
    if (board->level) board->level->increaseDialogCount();
    board->refillEnabled = false;
    board->fallEnabled = false;
    if (board->moveHint) board->moveHint->reset();

    if (mMergeScene) {
        AE::ISceneNode* copy = mMergeScene->clone(nullptr);
        const float size = static_cast<float>(board->cellSize);
        const QV::Vector2<float> at((target->column + 0.5f) * size, (target->row + 0.5f) * size);
        board->effectList()->add(new SceneEffect(copy, kMergeScene, kMergeSceneLayer, at, 0.0f, "init"));
    }
}

void BonusChipHelper::update(float dt) {
    if (mMergeTimer <= 0.0f) return;
    GameField* board = field();
    if (!board || board != mMergeField) {
        // The board the merge ran on is gone.
        forgetMerge();
        return;
    }
    for (const Task* task : board->taskManager->tasks)
        if (task->getType() != 2) return;
    mMergeTimer = std::max(mMergeTimer - dt, 0.0f);
    const QV::Vector2<float> centre = centreOf(mTargetCell);
    const float k = mMergeTimer / kMergeTime;
    for (const HeldChip& held : mMergeChips) {
        if (!isLiveChip(held)) continue;
        const QV::Vector2<float> start = held.chip->target;
        held.chip->position = {centre.x - (centre.x - start.x) * k, centre.y - (centre.y - start.y) * k};
    }
    if (mMergeTimer <= 0.0f) endMerge();
}

void BonusChipHelper::endMerge() {
    GameField* board = mMergeField;
    mMergeTimer = 0.0f;
    for (const HeldChip& held : mMergeChips) {
        if (!isLiveChip(held)) continue;
        Chip* chip = held.chip;
        const ChipDestroyInfo info(chip);
        for (const Behavior* layer : chip->behaviors) {
            ObjectScore score;
            score.kind = layer->kind;
            score.points = layer->score;
            ScorePosition position;
            position.column = static_cast<float>(static_cast<int>(chip->position.x));
            position.row = static_cast<float>(static_cast<int>(chip->position.y));
            if (mMode) mMode->onScored(score, position, chip);
        }
        board->columnHolds.push_back({kColumnHoldTime, info.column, info.row});
        removeQuietly(board, chip);
        if (mMode) mMode->onChipDestroyed(info);
    }
    const std::string name = prototypeName(mBonusName, mWithColour, mColourGroup);
    if (Chip* left = mTargetCell->chip) {
        const ChipDestroyInfo info(left);
        removeQuietly(board, left);
        if (mMode) mMode->onChipDestroyed(info);
    }
    Chip* made = board->chipManager ? board->chipManager->createChip(name, mTargetCell->column, mTargetCell->row)
                                    : nullptr;
    if (made) {
        mTargetCell->chip = made;
        made->moveState = 1;
        made->target = centreOf(mTargetCell);
    } else {
        QV::logLine(QV::formatString("WARNING: No chip prototype '%s' for a merge", name.c_str()));
    }
    mMergeCells.clear();
    mMergeChips.clear();
    if (board->level) board->level->decreaseDialogCount();
    board->refillEnabled = true;
    board->fallEnabled = true;
    playBoardSound(mMergeSound, kMergeSound);
}

void BonusChipHelper::forgetMerge() {
    mMergeTimer = 0.0f;
    mMergeChips.clear();
    mMergeCells.clear();
    mTargetCell = nullptr;
    mMergeField = nullptr;
}

void BonusChipHelper::onLevelStart() { forgetMerge(); }

bool BonusChipHelper::tryFuseBonusChips(Chip* first, Chip* second) {
    GameField* board = field();
    if (!board || !first || !second) return false;
    const std::string fused = fusedName(first, second);
    if (fused.empty()) return false;
    Cell* a = homeCell(board, first);
    Cell* b = homeCell(board, second);
    if (!a || !b) return false;
    board->taskManager->addTask(new FusionBonusTask(first, second, board, fused));
    if (mMode) mMode->onMoveMade(a, b);
    return true;
}

std::string BonusChipHelper::describe() const {
    return QV::formatString("bonuschips merging=%d", mMergeTimer > 0.0f ? 1 : 0);
}
