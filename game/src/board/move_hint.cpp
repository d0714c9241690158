#include "board/move_hint.h"

#include "board/behavior_kind.h"
#include "board/board_fatal.h"
#include "board/board_host.h"
#include "board/chip.h"
#include "board/chip_appearence.h"
#include "board/chip_selector.h"
#include "board/game_field.h"
#include "board/mode.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"

MoveHint::MoveHint(GameField* owner) : field(owner) {
    points.reserve(32);
    if (QV::ParticleSystem* particles = QV::ParticleSystem::instancePointer()) {
        effect = particles->createParticleFX("hint_fx");
        if (!effect) BOARD_FATAL("Failed to create particle effect 'hint_fx'");
    }
    reset();
}

MoveHint::~MoveHint() {
    if (effect) {
        if (QV::ParticleSystem* particles = QV::ParticleSystem::instancePointer()) {
            particles->releaseParticleFX(effect);
        }
        effect = nullptr;
    }
}

void MoveHint::reset() {
    shown = false;
    points.clear();
    if (field) field->idleTime = 0.0f;
    searched = false;
}

void MoveHint::update(float dt) {
    ChipAppearence* appearence = field->appearances ? field->appearances->currentAppearence() : nullptr;
    if (appearence && !appearence->isFinished()) return;
    if (!field->levelRunning || field->openDialogCount() > 0 || field->unsettled ||
        field->hasEmptyOrMovingCell()) {
        return;
    }
    if (shown && effect) effect->update(dt);
    if (!(field->idleTime > 1.0f)) return;
    if (shown || field->isSuspended()) return;
    if (points.empty()) {
        std::pair<Cell*, Cell*> move = findMove();
        if (!searched) searched = true;
        if (!move.first) {
            if (Mode* mode = field->mode()) mode->onNoPossibleMoves();
            reset();
            return;
        }
        const float size = static_cast<float>(field->cellSize);
        points.push_back(move.first->chip->position * size);
        points.push_back(move.second->chip->position * size);
    }
    if (!points.empty() && field->idleTime >= field->hintPeriod) {
        shown = true;
        if (effect) effect->restart();
    }
}

void MoveHint::draw() {
    if (!shown || !effect) return;
    const float opacity = field->level ? field->level->boardOpacity() : 1.0f;
    // The one effect is drawn at each point, sharing its particles.
    for (const QV::Vector2<float>& point : points) {
        effect->mPosition = point;
        for (QV::ParticleEmitter* emitter : effect->mParticleEmitters) {
            emitter->setAlpha(opacity);
            emitter->render(effect->mPosition);
        }
    }
}

std::pair<Cell*, Cell*> MoveHint::findMove() const {
    for (int row = 0; row <= field->gridHeight; ++row) {
        for (int column = 0; column < field->gridWidth; ++column) {
            Cell* a = field->cellAt(column, row);
            Cell* right = field->cellAt(column + 1, row);
            Cell* down = field->cellAt(column, row + 1);
            if (canSwapMakeMatch(a, right)) return {a, right};
            if (canSwapMakeMatch(a, down)) return {a, down};
        }
    }
    return {nullptr, nullptr};
}

bool MoveHint::canSwapMakeMatch(Cell* a, Cell* b) const {
    if (!a || !b || !a->chip || !b->chip) return false;
    Chip* first = a->chip;
    Chip* second = b->chip;
    if (!first->canBeSwapped() || !second->canBeSwapped()) return false;
    if (first->hasBehavior(kDestroyColor) && second->canIterateWithGroup() && second->canFall()) return true;
    if (second->hasBehavior(kDestroyColor) && first->canIterateWithGroup() && first->canFall()) return true;
    if (isBonusChip(first) && isBonusChip(second)) return true;
    if (first->group == second->group) return false;
    if (!first->canFall() || !second->canFall() || !first->canIterateWithGroup() ||
        !second->canIterateWithGroup()) {
        return false;
    }
    std::swap(first->position, second->position);
    std::swap(a->chip, b->chip);
    MatchLines firstLines, secondLines;
    if (first->selector) first->selector->select(firstLines, field, first);
    if (second->selector) second->selector->select(secondLines, field, second);
    std::swap(first->position, second->position);
    std::swap(a->chip, b->chip);
    return firstLines.chipCount() > 0 || secondLines.chipCount() > 0;
}

bool MoveHint::isBonusChip(const Chip* chip) {
    return chip->hasBehavior(kDestroyColor) || chip->hasBehavior(kBombStage1) || chip->hasBehavior(kCross) ||
           chip->hasBehavior(kWaveDSide) || chip->hasBehavior(kWaveHor) || chip->hasBehavior(kWaveVer);
}
