#include "board/plain_mode.h"

#include "board/behavior.h"
#include "board/cell.h"
#include "board/chip.h"
#include "board/chip_selector.h"
#include "format_string.h"

void PlainMode::onBoardReady() { emit("onBoardReady"); }

void PlainMode::onMoveMade(Cell* first, Cell* second) {
    emit(QV::formatString("onMoveMade %d %d %d %d", first ? first->column : -1, first ? first->row : -1,
                          second ? second->column : -1, second ? second->row : -1));
}

void PlainMode::readLevelRules(QV::LuaScript2&) { emit("readLevelRules"); }

void PlainMode::onNoPossibleMoves() { emit("onNoPossibleMoves"); }

void PlainMode::onChipDestroyed(const ChipDestroyInfo& info) {
    std::string kinds;
    for (int kind : info.kinds) {
        if (!kinds.empty()) kinds += "+";
        kinds += behaviorKindName(kind);
    }
    if (kinds.empty()) kinds = "-";
    emit(QV::formatString("onChipDestroyed %d %d %c %s %d", info.column, info.row, groupLetter(info.group),
                          kinds.c_str(), info.levelGoals));
}

void PlainMode::onScored(const ObjectScore& score, const ScorePosition& position, Chip*) {
    emit(QV::formatString("onScored %d %d %d %d", score.kind, score.points, static_cast<int>(position.column),
                          static_cast<int>(position.row)));
}

void PlainMode::onCellDamaged(Cell* cell) {
    if (!cell) return;
    emit(QV::formatString("onCellDamaged %d %d %d", cell->column, cell->row, cell->solidity));
}

bool PlainMode::onNeighbourDestroyed(Chip*, Chip*) { return false; }

bool PlainMode::createBonusChip(MatchLines& match) {
    emit(QV::formatString("createBonusChip %d %d -> 0", static_cast<int>(match.rowRun.size()),
                          static_cast<int>(match.columnRun.size())));
    return false;
}

bool PlainMode::tryFuseBonusChips(Chip*, Chip*) { return false; }
