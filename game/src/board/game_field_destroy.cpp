#include "board/behavior.h"
#include "board/board_host.h"
#include "board/board_sound.h"
#include "board/board_tasks.h"
#include "board/chip.h"
#include "board/chip_selector.h"
#include "board/drawable.h"
#include "board/game_field.h"
#include "board/mode.h"
#include "board/move_hint.h"
#include "board/task.h"

namespace {

constexpr float kMatchDestroyDelay = 0.12f;
constexpr float kColumnHoldTime = 0.23f;

bool isExplodingKind(const Chip* chip) {
    static const int kKinds[] = {kBombStage1, kBombStage2, kWaveDSide, kDestroyColor,
                                 kWaveVer,    kWaveHor,    kCross,     kSuperBomb,
                                 kSuperWaveDSide, kSuperWaveVer, kSuperWaveHor, kSuperCross};
    for (int kind : kKinds) {
        if (chip->hasBehavior(kind)) return true;
    }
    return false;
}

void reportScore(GameField* field, const BehaviorScore& removed, Chip* chip) {
    Mode* mode = field ? field->mode() : nullptr;
    if (!mode) return;
    ObjectScore score;
    score.kind = removed.kind;
    score.points = removed.score;
    ScorePosition position;
    position.column = static_cast<float>(static_cast<int>(chip->position.x));
    position.row = static_cast<float>(static_cast<int>(chip->position.y));
    mode->onScored(score, position, chip);
}

}  // namespace

void Chip::destroy(GameField* field, bool hitNeighboursToo, bool force) {
    if (destroyed || hitThisFrame) return;
    destroyInProgress = 1;
    if (field) field->spawnDestroyDrawables(this);
    if (field && behaviors.size() == 1 && isExplodingKind(this)) field->rendererAddExplosionDistortion(this);
    ChipDestroyInfo info(this);
    BehaviorScore removed = behaviors.popOuterBehavior(field, this, force);
    if (field) field->moveHint->reset();
    reportScore(field, removed, this);
    hitThisFrame = 1;
    if (hitNeighboursToo && field) hitNeighbours(this, field);
    if (!behaviors.empty()) {
        destroyInProgress = 0;
        return;
    }
    selected = 0;
    destroyed = 1;
    if (!field) return;
    if (field->selectedChip == this) field->selectedChip = nullptr;
    Cell* cell = nullptr;
    if (moveState == 0) {
        cell = field->getCell(position.x, position.y);
    } else if (moveState == 1) {
        cell = field->getCell(target.x, target.y);
    }
    if (!info.kinds.empty() && !info.hasAnyKind(kWall, kStrongWall) && cell) {
        field->damageCell(cell);
        if (cell->chip == this) cell->chip = nullptr;
    }
    behaviors.clear();
    hitThisFrame = 1;
    field->idleTime = 0.0f;
    if (!info.kinds.empty()) {
        if (Mode* mode = field->mode()) mode->onChipDestroyed(info);
        field->columnHolds.push_back({kColumnHoldTime, info.column, info.row});
    }
}

void Chip::hitNeighbours(Chip* source, GameField* field) {
    const int column = static_cast<int>(source->position.x);
    const int row = static_cast<int>(source->position.y);
    static const int kOffsets[4][2] = {{0, -1}, {-1, 0}, {1, 0}, {0, 1}};
    for (const auto& offset : kOffsets) {
        const int c = column + offset[0];
        const int r = row + offset[1];
        if (c < 0 || c >= field->gridWidth || r < 1 || r > field->gridHeight) continue;
        Cell* cell = field->cellAt(c, r);
        if (cell && cell->chip) hitByNeighbour(cell->chip, source, field, false);
    }
}

void Chip::hitByNeighbour(Chip* chip, Chip* source, GameField* field, bool forced) {
    if (chip->hitThisFrame) return;
    ChipDestroyInfo info(chip);
    Mode* mode = field->mode();
    const bool takenByRules = mode && mode->onNeighbourDestroyed(source, chip);
    if (!takenByRules && (forced || source->behaviors.empty())) {
        bool hit = false;
        for (auto it = chip->behaviors.items.rbegin(); it != chip->behaviors.items.rend(); ++it) {
            const int kind = (*it)->kind;
            if (kind == kWall || kind == kDWall) {
                hit = true;
                break;
            }
            if (kind == kCWall) {
                hit = chip->group == source->group;
                break;
            }
        }
        if (hit) {
            field->spawnDestroyDrawables(chip);
            BehaviorScore removed = chip->behaviors.popOuterBehavior(field, chip, true);
            reportScore(field, removed, chip);
            chip->hitThisFrame = 1;
        }
    }
    // A rule that destroyed the chip itself has reported it through Chip::destroy.
    if (chip->behaviors.empty() && mode && !(takenByRules && chip->destroyed)) mode->onChipDestroyed(info);
}

bool GameField::destroyMatches(bool forced) {
    if (!forced && (openDialogCount() > 0 || taskManager->size() > 0)) return false;
    bool found = false;
    MatchLines lines;
    for (int row = gridHeight; row >= 0; --row) {
        for (int column = 0; column < gridWidth; ++column) {
            Cell* cell = cellAt(column, row);
            if (!cell || !cell->chip || !cell->chip->selector) continue;
            cell->chip->selector->select(lines, this, cell->chip);
            if (lines.rowRun.size() < 3 && lines.columnRun.size() < 3) continue;
            Mode* current = mode();
            if (current && current->createBonusChip(lines)) {
                found = true;
            } else {
                for (const std::vector<Chip*>* run : {&lines.rowRun, &lines.columnRun}) {
                    if (run->size() < 3) continue;
                    for (Chip* chip : *run) {
                        DestroyChipTask* task = new DestroyChipTask(chip, true, this);
                        task->delay = kMatchDestroyDelay;
                        taskManager->addTask(task);
                    }
                    found = true;
                }
            }
            lines.clear();
        }
    }
    return found;
}

void GameField::damageCell(Cell* cell) {
    if (!cell || cell->solidity <= 1) return;
    cell->solidity -= 1;
    if (Mode* current = mode()) current->onCellDamaged(cell);
    rendererSpawnTileExplosion(cell);
    if (!tileSoundPlayed) {
        playBoardSound(tileDestroySound, "tile_destroy_sound");
        tileSoundPlayed = true;
    }
}

void GameField::addDestroyChipInCellTask(int column, int row, float delay) {
    if (column < 0 || column >= gridWidth || row < 1 || row > gridHeight) return;
    Cell* cell = cellAt(column, row);
    if (!cell || !cell->chip || cell->chip->hasBehavior(kFallingLevelGoal)) return;
    taskManager->addTask(new DestroyChipInCellTask(this, column, row, delay));
}

void GameField::spawnDestroyDrawables(Chip* chip) {
    if (!chip || chip->behaviors.empty()) return;
    const int half = cellSize / 2;
    for (Drawable* drawable : chip->behaviors.back()->onDestroyDrawables) {
        Drawable* copy = drawable->clone();
        if (!copy) continue;
        FreeDrawable free;
        free.drawable = copy;
        free.x = static_cast<float>(cellSize) * chip->position.x - static_cast<float>(half);
        free.y = static_cast<float>(cellSize) * chip->position.y - static_cast<float>(half);
        free.layer = copy->layer;
        freeDrawables.push_back(free);
    }
}

void GameField::spawnEffectAtCell(Cell* cell, int index) {
    if (!cell || index < 0 || index >= kWaveEffectCount || !waveEffects[index]) return;
    Drawable* copy = waveEffects[index]->clone();
    if (!copy) return;
    const int half = cellSize / 2;
    FreeDrawable free;
    free.drawable = copy;
    free.x = static_cast<float>(cellSize * (cell->column + 1) - half);
    free.y = static_cast<float>(cellSize * (cell->row + 1) - half);
    free.layer = copy->layer;
    freeDrawables.push_back(free);
}

void GameField::updateComboTimer(float dt) {
    comboTime -= comboTimerAttenuation * dt;
    if (comboTime < -1.0f) comboTime = -1.0f;
    if (comboTime < 0.0f) comboCount = 0;
}

void GameField::destroyCellLater(GameField* field, Cell* cell, Chip* origin, float delay,
                                 float detonationBase) {
    if (!field || !cell) return;
    Chip* chip = cell->chip;
    if (!chip || chip->destroyed) {
        ReduceCellTask* task = new ReduceCellTask(field, cell);
        task->delay = delay;
        field->taskManager->addTask(task);
        return;
    }
    if (chip->hasBehavior(kFallingLevelGoal) || chip->hasBehavior(kChipGenerator) ||
        chip->hasBehavior(kChipUp)) {
        return;
    }
    if (!chip->hasBehavior(kSimple) && chip->moveState != 1 && chip->behaviors.countLevelGoals() == 0 &&
        chip->behaviors.size() == 1) {
        chip->detonating = 1;
        delay = detonationBase + 1.0f;
    }
    DataHolder destroyer;
    destroyer.setChip(origin);
    chip->setProperty("destroyer", destroyer);
    DestroyChipTask* task = new DestroyChipTask(chip, false, field);
    task->delay = delay;
    field->taskManager->addTask(task);
}
