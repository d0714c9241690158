#pragma once

#include <functional>
#include <string>

#include "board/mode.h"

// A mode without rules: it makes no bonus chips and no fusions and reports
// every call as a line of text to its sink (tools and tests read them).
class PlainMode : public Mode {
public:
    using Sink = std::function<void(const std::string& line)>;

    explicit PlainMode(Sink sink = Sink()) : sink(std::move(sink)) {}

    void onBoardReady() override;
    void onMoveMade(Cell* first, Cell* second) override;
    void writeSection(AE::DataStream&) override {}
    bool readSection(AE::DataStream&) override { return true; }
    void readLevelRules(QV::LuaScript2& script) override;
    void onNoPossibleMoves() override;
    void onChipDestroyed(const ChipDestroyInfo& info) override;
    void onScored(const ObjectScore& score, const ScorePosition& position, Chip* chip) override;
    void onCellDamaged(Cell* cell) override;
    bool onNeighbourDestroyed(Chip* destroyed, Chip* neighbour) override;
    bool isLevelRunning() override { return true; }
    bool createBonusChip(MatchLines& match) override;
    bool tryFuseBonusChips(Chip* selected, Chip* clicked) override;

    Sink sink;

protected:
    void emit(const std::string& line) {
        if (sink) sink(line);
    }
};
