// The board's frame: tasks, falling, refill, the match search and the
// chips' drawables, in a fixed order.
#include <algorithm>
#include <cmath>

#include "board/behavior.h"
#include "board/board_host.h"
#include "board/board_random.h"
#include "board/chip.h"
#include "board/chip_appearence.h"
#include "board/chip_manager.h"
#include "board/drawable.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "board/mode.h"
#include "board/move_hint.h"
#include "board/task.h"

namespace {

constexpr float kFallStartSpeed = 7.5f;
constexpr float kTwoPi = 6.28318530718f;

int truncated(float value) { return static_cast<int>(value); }

bool lockedForFall(const Chip* chip) {
    auto it = chip->properties.find("lock");
    return it != chip->properties.end() && it->second.container && it->second.container->getInt() == 1;
}

}  // namespace

void GameField::update(float dt) {
    if (rows.empty() || !levelRunning) return;
    if (level && level->dialogBlocksBoard()) return;

    if (selectedChip) {
        if (selectedChip->destroyed) {
            selectedChip->selected = 0;
            selectedChip = nullptr;
        } else {
            selectedChip->selected = 1;
        }
    }

    levelTime += dt;
    tileSoundPlayed = false;
    moveHint->update(dt);
    unsettled = !columnHolds.empty();
    fallPauseTime = std::max(fallPauseTime - dt, 0.0f);
    if (!(suspendTime > 0.0f)) idleTime += dt;
    hotspotTime += dt;
    if (hotspotTime > chipHotspotPeriod) hotspotTime = 0.0f;

    updateCellAnimations(dt);
    if (gridWidth > 0 && gridHeight > 0) {
        Cell* first = cellAt(0, 1);
        if (first && first->animation && !first->animation->isFinished()) return;
    }
    if (ChipAppearence* appearence = appearances->currentAppearence()) {
        appearence->update(dt);
        if (!appearence->isFinished()) return;
    }
    if (!levelBegun) {
        levelBegun = true;
        if (Mode* current = mode()) current->onBoardReady();
    }

    updateFreeDrawables(dt);
    // Headless runs have no renderer to advance the field effects.
    if (!renderer && headlessEffects) headlessEffects->update(dt);

    busy = !taskManager->update(dt);
    if (!busy) {
        updateChipShakes(dt);
        if (openDialogCount() <= 0) updateComboTimer(dt);
        suspendTime = suspendTime - dt > 0.0f ? suspendTime - dt : 0.0f;
        if (suspendTime == 0.0f) {
            rebuildCells();
            for (ColumnHold& hold : columnHolds) hold.time -= dt;
            columnHolds.erase(std::remove_if(columnHolds.begin(), columnHolds.end(),
                                             [](const ColumnHold& hold) { return hold.time <= 0.0f; }),
                              columnHolds.end());
            if (!taskManager->hasWaitingBlocker()) {
                if (fallEnabled && fallPauseTime == 0.0f) {
                    for (int row = gridHeight; row >= 0; --row) {
                        for (int column = 0; column < gridWidth; ++column) {
                            Cell* cell = cellAt(column, row);
                            if (cell && cell->chip) updateChipFall(cell->chip, dt);
                        }
                    }
                }
                // Index walk: an idle action may create chips.
                for (size_t i = 0; i < chipManager->pool.size(); ++i) {
                    Chip* chip = chipManager->pool[i];
                    if (chip->destroyed) continue;
                    chip->behaviors.runIdleActions(this, chip, dt);
                }
                if (refillEnabled && fallPauseTime == 0.0f) refill();
            }
        }
        if (openDialogCount() <= 0 && taskManager->size() == 0) destroyMatches(false);
        for (int row = gridHeight; row >= 0; --row) {
            for (int column = 0; column < gridWidth; ++column) {
                Cell* cell = cellAt(column, row);
                if (cell && cell->chip) cell->chip->hitThisFrame = 0;
            }
        }
    }

    for (int row = gridHeight; row >= 0; --row) {
        for (int column = 0; column < gridWidth; ++column) {
            Cell* cell = cellAt(column, row);
            if (cell && cell->chip) cell->chip->behaviors.updateDrawables(cell->chip, dt);
        }
    }
}

void GameField::rebuildCells() {
    for (std::vector<Cell>& line : rows) {
        for (Cell& cell : line) cell.chip = nullptr;
    }
    if (!chipManager) return;
    // Index walk: destroying a chip never adds one, but stay safe.
    for (size_t i = 0; i < chipManager->pool.size(); ++i) {
        Chip* chip = chipManager->pool[i];
        if (!chip->destroyed && chip->behaviors.empty()) chip->destroy(this, false, false);
        if (chip->destroyed || suspendTime != 0.0f) continue;
        Cell* cell = nullptr;
        if (chip->moveState == 0) {
            cell = getCell(chip->position.x, chip->position.y);
        } else {
            const QV::Vector2<float> d = chip->target - chip->position;
            if (std::sqrt(d.x * d.x + d.y * d.y) > 0.5f) {
                cell = getCell(chip->target.x, chip->target.y);
            } else {
                cell = getCell(chip->position.x, chip->position.y);
            }
        }
        if (cell) cell->chip = chip;
    }
}

void GameField::updateChipFall(Chip* chip, float dt) {
    chip->hitThisFrame = 0;
    if (chip->moveState == 0 && chip->canFall()) {
        Cell* target = findFallTarget(chip, truncated(chip->position.x), truncated(chip->position.y));
        if (target && !lockedForFall(chip)) {
            chip->target = {target->column + 0.5f, target->row + 0.5f};
            chip->moveState = 1;
            target->reserved = 1;
            chip->speed = kFallStartSpeed;
        }
    }
    if (chip->moveState == 1) {
        unsettled = true;
        chip->moveTowardsTarget(this, dt);
    }
}

Cell* GameField::findFallTarget(const Chip* chip, int column, int row) const {
    if (column < 0 || column >= gridWidth || row + 1 < 1 || row + 1 > gridHeight) return nullptr;
    for (int r = row + 1; r <= gridHeight; ++r) {
        Cell* cell = cellAt(column, r);
        if (!cell || cell->solidity <= 0) continue;
        if (!cell->chip) {
            Cell* deeper = findFallTarget(chip, column, r);
            return deeper ? deeper : cell;
        }
        if (cell->chip->canFall()) return nullptr;
    }
    return nullptr;
}

void Chip::moveTowardsTarget(GameField* field, float dt) {
    const int column = static_cast<int>(position.x);
    const int row = static_cast<int>(position.y);
    for (const ColumnHold& hold : field->columnHolds) {
        if (hold.column == column && hold.row > row) return;
    }
    QV::Vector2<float> d = target - position;
    const float distance = std::sqrt(d.x * d.x + d.y * d.y);
    if (distance > 0.0f) d = d * (1.0f / distance);
    speed += field->chipAcceleration * dt;
    const float step = speed * dt;
    if (distance <= step) {
        position = target;
    } else {
        position = position + d * step;
    }
    const QV::Vector2<float> left = target - position;
    if (std::sqrt(left.x * left.x + left.y * left.y) >= 0.00001f) return;

    Cell* cell = field->getCell(position.x, position.y);
    if (cell) {
        cell->reserved = 0;
        cell->chip = this;
    }
    if (moveState != 0) orderStamp = chipOrderCounter++;
    moveState = 0;
    Cell* next = cell && canFall()
                     ? field->findFallTarget(this, static_cast<int>(position.x), static_cast<int>(position.y))
                     : nullptr;
    if (next) {
        // Falls on at its current speed, without a shake.
        target = {next->column + 0.5f, next->row + 0.5f};
        moveState = 1;
        next->reserved = 1;
        return;
    }
    speed = kFallStartSpeed;
    if (cell && cell->row >= 1 && cell->row <= field->gridHeight && cell->chip) {
        Chip* landed = cell->chip;
        landed->shakeAmplitude = {0.0f, field->fallShaking};
        landed->shakeDuration = landed->shakeTimeLeft = field->fallShakingTime;
        landed->shakePhaseSpan = kTwoPi;
    }
}

void GameField::updateChipShakes(float dt) {
    for (Chip* chip : chipManager->pool) {
        if (chip->shakeTimeLeft == 0.0f) continue;
        chip->shakeTimeLeft = std::max(chip->shakeTimeLeft - dt, 0.0f);
        if (chip->shakeTimeLeft == 0.0f || !(chip->shakeDuration > 0.0f)) {
            chip->shakeOffset = {0.0f, 0.0f};
            continue;
        }
        const float k = 1.0f - chip->shakeTimeLeft / chip->shakeDuration;
        chip->shakeOffset = chip->shakeAmplitude * (std::sin(chip->shakePhaseSpan * k) * (1.0f - k));
    }
}

void GameField::updateFreeDrawables(float dt) {
    size_t kept = 0;
    for (size_t i = 0; i < freeDrawables.size(); ++i) {
        FreeDrawable free = freeDrawables[i];
        if (free.drawable && free.drawable->isAlive()) {
            free.drawable->setActive(true);
            free.drawable->update(dt);
            freeDrawables[kept++] = free;
        } else {
            delete free.drawable;
        }
    }
    freeDrawables.resize(kept);
}

void GameField::updateCellAnimations(float dt) {
    for (int row = gridHeight; row >= 1; --row) {
        for (int column = 0; column < gridWidth; ++column) {
            Cell* cell = cellAt(column, row);
            if (cell && cell->animation && (cell->animation->mLoop || !cell->animation->isFinished())) {
                cell->animation->update(dt);
            }
        }
    }
}

bool GameField::hasColumnHold(int column) const {
    for (const ColumnHold& hold : columnHolds) {
        if (hold.column == column) return true;
    }
    return false;
}

int GameField::firstPlayableRow(int column) const {
    for (int row = 1; row <= gridHeight; ++row) {
        const Cell* cell = cellAt(column, row);
        if (cell && cell->solidity > 0) return row;
    }
    return -1;
}

namespace {

struct RefillCandidate {
    Cell* cell;
    int column;
    int firstRow;
};

}  // namespace

void GameField::refill() {
    seedBoardRandom();
    std::vector<RefillCandidate> candidates;
    for (int column = 0; column < gridWidth; ++column) {
        const int firstRow = firstPlayableRow(column);
        if (firstRow == -1 || hasColumnHold(column)) continue;
        for (int row = firstRow; row <= gridHeight; ++row) {
            Cell* cell = cellAt(column, row);
            if (cell->solidity == 0) continue;
            Chip* chip = cell->chip;
            if (chip && !chip->canFall()) continue;
            if (chip && chip->moveState == 0 && chip->hasBehavior(kFallingLevelGoal)) continue;
            if (!chip && cell->solidity > 0) candidates.push_back({cell, column, firstRow});
            break;
        }
    }
    size_t n = candidates.size();
    while (n > 0) {
        const size_t k = static_cast<size_t>(boardRand()) % n;
        spawnChip(candidates[k].cell, candidates[k].column, candidates[k].firstRow);
        candidates[k] = candidates[n - 1];
        --n;
    }
}

void GameField::spawnChip(Cell* cell, int column, int firstRow) {
    Chip* chip = chipManager->createNextChip(column + 0.5f, firstRow - 0.5f);
    if (!chip) return;  // nothing to drop: the sequence is empty
    cell->chip = chip;
    chip->moveState = 1;
    chip->target = {cell->column + 0.5f, cell->row + 0.5f};
    cell->reserved = 1;
}
