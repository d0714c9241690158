#pragma once

#include <string>
#include <vector>

class Chip;
class GameField;

// A selector's result: the row run first, then the column run; each
// non-empty run holds the origin chip first.
struct MatchLines {
    std::vector<Chip*> rowRun;
    std::vector<Chip*> columnRun;

    // Row run length when at least 3, plus the same for the column run.
    int chipCount() const;
    void clear();
};

// Answers which chips form runs with a chip. Shared through a process-wide
// cache by name.
class ChipSelector {
public:
    virtual ~ChipSelector() = default;
    virtual int getFlag() const = 0;
    virtual const char* getName() const = 0;
    virtual void select(MatchLines& result, const GameField* field, const Chip* chip) const = 0;

    // The cached selector of that name, else a new one cached under it:
    // "AllChipsSameGroupSelector" exactly, any other name the nearest-run one.
    static ChipSelector* create(const std::string& name);
    static void clearCache();
    static size_t cacheSize();
};

class NearestChipSameGroupSelector : public ChipSelector {
public:
    int getFlag() const override { return 0; }
    const char* getName() const override { return "NearestChipSameGroupSelector"; }
    void select(MatchLines& result, const GameField* field, const Chip* chip) const override;
    // The cross scan around one start chip; empty runs when it cannot start.
    static void scanAxes(MatchLines& result, const GameField* field, const Chip* start);
};

class AllChipsSameGroupSelector : public ChipSelector {
public:
    int getFlag() const override { return 1; }
    const char* getName() const override { return "AllChipsSameGroupSelector"; }
    void select(MatchLines& result, const GameField*, const Chip*) const override { result.clear(); }
};
