#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game_helpers/game_helper.h"

class Cell;
class Chip;
class GameField;
class Mode;
struct MatchLines;

namespace AE {
class ISceneNode;
}

// What a merge leaves: a base prototype name and whether the colour letter
// of the target's group is appended ("Bomb" + "_R").
struct BonusChipSpec {
    std::string name;
    bool withColour = false;
};

// A pooled chip with the generation it had when it was taken: once the pool
// hands it out again it is another chip.
struct HeldChip {
    Chip* chip = nullptr;
    uint32_t generation = 0;
};

// The bonus-chip rules of a level: runs of four or more and crossing runs
// slide into one cell and leave a bonus chip there; two bonus chips swapped
// with each other fuse into a stronger one that goes off by itself. The
// board reaches it through the mode; it reaches the mode only through Mode.
class BonusChipHelper : public GameHelper {
public:
    // The board it works on; by default the level state's.
    using FieldSource = std::function<GameField*()>;

    static constexpr float kMergeTime = 0.28f;
    static constexpr float kFusedFuse = 1.2f;
    static constexpr float kLayerPeelStep = 0.13f;

    explicit BonusChipHelper(Mode* mode, FieldSource field = FieldSource());
    ~BonusChipHelper() override;

    // True when the runs become a bonus chip; the board then leaves them alone.
    bool createBonusChipFromMatch(MatchLines& runs);
    // True when both are simple bonus chips and a fusion started instead of the swap.
    bool tryFuseBonusChips(Chip* first, Chip* second);
    bool isFusing() const { return mMergeTimer > 0.0f; }
    // Starts the merge, or queues it behind layers to peel or a running merge.
    // A group of -1 takes the group of the chip in the target cell.
    void startMerge(const BonusChipSpec& spec, const std::vector<HeldChip>& chips, Cell* target, int group);
    void update(float dt) override;
    // A new level: a merge of the last one is forgotten.
    void onLevelStart() override;
    std::string describe() const override;

    // BombStage1, WaveDSide, WaveVer or WaveHor.
    static bool isSimpleBonusChip(const Chip* chip);
    // The fused base name of a swap of a onto b; empty when they do not fuse.
    static std::string fusedName(const Chip* a, const Chip* b);
    // "R", "G", "B", "M", "Y", "O" for groups 0 to 5; empty otherwise.
    static std::string colourLetter(int group);
    // The prototype name: base, "_" and the group's letter when asked and known.
    static std::string prototypeName(const std::string& base, bool withColour, int group);

    GameField* field() const;

private:
    void endMerge();
    void forgetMerge();

    Mode* mMode;
    FieldSource mFieldSource;
    std::vector<HeldChip> mMergeChips;
    std::vector<Cell*> mMergeCells;
    std::string mBonusName;
    bool mWithColour = false;
    float mMergeTimer = 0.0f;
    Cell* mTargetCell = nullptr;
    int mColourGroup = -1;
    int mMergeSound = 0;
    AE::ISceneNode* mMergeScene = nullptr;
    // The board whose dialog count this merge raised.
    GameField* mMergeField = nullptr;
};

// Live when the chip is still the one that was taken and not destroyed.
bool isLiveChip(const HeldChip& held);
