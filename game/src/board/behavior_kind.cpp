#include "board/behavior_kind.h"

#include <cstring>

namespace {

struct KindName {
    const char* name;
    BehaviorKind kind;
};

// First entry of a kind is its canonical name.
const KindName kNames[] = {
    {"Simple", kSimple},
    {"Chain", kChain},
    {"DChain", kDChain},
    {"Wall", kWall},
    {"DWall", kDWall},
    {"CWall", kCWall},
    {"StrongWall", kStrongWall},
    {"FallingLevelGoal", kFallingLevelGoal},
    {"ChipUp", kChipUp},
    {"BombStage1", kBombStage1},
    {"BombStage2", kBombStage2},
    {"DestroyColor", kDestroyColor},
    {"SimpleBomb", kSimpleBomb},
    {"WaveDSide", kWaveDSide},
    {"WaveVer", kWaveVer},
    {"WaveHor", kWaveHor},
    {"Cross", kCross},
    {"SuperBomb", kSuperBomb},
    {"SuperWaveDSide", kSuperWaveDSide},
    {"SuperWaveVer", kSuperWaveVer},
    {"SuperWaveVerF", kSuperWaveVer},
    {"SuperWaveHor", kSuperWaveHor},
    {"SuperCross", kSuperCross},
    {"Star", kStar},
    {"SuperStar", kSuperStar},
    {"Storm", kStorm},
    {"Ice", kIce},
    {"IceChip1", kIceChip1},
    {"IceChip2", kIceChip2},
    {"IceChip3", kIceChip3},
    {"ChainBomb", kChainBomb},
    {"ChipGenerator", kChipGenerator},
    {"StuffChip", kStuffChip},
    {"AnyBonus", kAnyBonus},
};

}  // namespace

BehaviorKind behaviorKindFromName(const std::string& name) {
    for (const KindName& entry : kNames) {
        if (name == entry.name) return entry.kind;
    }
    if (name.compare(0, 4, "Cell") == 0) return kCell;
    return kSimple;
}

const char* behaviorKindName(int kind) {
    if (kind == kCell) return "Cell";
    for (const KindName& entry : kNames) {
        if (entry.kind == kind) return entry.name;
    }
    return "Unknown";
}
