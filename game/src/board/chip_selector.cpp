#include "board/chip_selector.h"

#include <algorithm>
#include <map>
#include <memory>

#include "board/chip.h"
#include "board/game_field.h"

namespace {

std::map<std::string, std::unique_ptr<ChipSelector>>& cache() {
    static std::map<std::string, std::unique_ptr<ChipSelector>> selectors;
    return selectors;
}

int runScore(const std::vector<Chip*>& run) {
    return run.size() >= 3 ? static_cast<int>(run.size()) : 0;
}

}  // namespace

int MatchLines::chipCount() const { return runScore(rowRun) + runScore(columnRun); }

void MatchLines::clear() {
    rowRun.clear();
    columnRun.clear();
}

ChipSelector* ChipSelector::create(const std::string& name) {
    auto it = cache().find(name);
    if (it != cache().end()) return it->second.get();
    ChipSelector* selector = nullptr;
    if (name == "AllChipsSameGroupSelector") {
        selector = new AllChipsSameGroupSelector();
    } else {
        selector = new NearestChipSameGroupSelector();
    }
    cache()[name].reset(selector);
    return selector;
}

void ChipSelector::clearCache() { cache().clear(); }

size_t ChipSelector::cacheSize() { return cache().size(); }

void NearestChipSameGroupSelector::scanAxes(MatchLines& result, const GameField* field,
                                            const Chip* start) {
    result.clear();
    if (!start || start->destroyed || !start->canIterateWithGroup() || start->moveState != 0 ||
        start->hasProperty("lock") || start->behaviors.empty() || !field) {
        return;
    }
    const Cell* origin = field->getCell(start->position.x, start->position.y);
    if (!origin) return;
    Chip* self = const_cast<Chip*>(start);
    result.rowRun.push_back(self);
    result.columnRun.push_back(self);

    // right, left, down, up; axis 0 is the row, 1 the column.
    static const int kStepColumn[4] = {1, -1, 0, 0};
    static const int kStepRow[4] = {0, 0, 1, -1};
    bool open[4] = {true, true, true, true};
    const int limit = std::max(field->gridWidth, field->gridHeight + 1);
    for (int d = 1; d < limit; ++d) {
        if (!open[0] && !open[1] && !open[2] && !open[3]) break;
        for (int direction = 0; direction < 4; ++direction) {
            if (!open[direction]) continue;
            const int axis = direction / 2;
            std::vector<Chip*>& run = axis == 0 ? result.rowRun : result.columnRun;
            const Cell* cell = field->cellAt(origin->column + kStepColumn[direction] * d,
                                             origin->row + kStepRow[direction] * d);
            const int relation = cell && cell->chip ? Chip::groupRelation(cell->chip, start) : 0;
            if (relation == 1) {
                run.push_back(cell->chip);
            } else if (relation == 2) {
                run.clear();
                open[axis * 2] = false;
                open[axis * 2 + 1] = false;
            } else {
                open[direction] = false;
            }
        }
    }
    if (result.chipCount() == 0) result.clear();
}

void NearestChipSameGroupSelector::select(MatchLines& result, const GameField* field,
                                          const Chip* chip) const {
    scanAxes(result, field, chip);
    if (result.chipCount() == 0) {
        result.clear();
        return;
    }
    MatchLines best = result;
    int bestScore = best.chipCount();
    MatchLines scan;
    const std::vector<Chip*> members[2] = {result.rowRun, result.columnRun};
    for (const std::vector<Chip*>& run : members) {
        for (Chip* member : run) {
            scanAxes(scan, field, member);
            int score = scan.chipCount();
            if (score > bestScore) {
                best = scan;
                bestScore = score;
            }
        }
    }
    result = best;
}
