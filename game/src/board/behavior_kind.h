#pragma once

#include <string>

// Kind of a behaviour layer, from its "Name". Kinds 10 to 24 are bonus chips.
enum BehaviorKind {
    kKindNone = 0,
    kSimple = 1,
    kChain = 2,
    kDChain = 3,
    kWall = 4,
    kDWall = 5,
    kCWall = 6,
    kStrongWall = 7,
    kFallingLevelGoal = 8,
    kChipUp = 9,
    kBombStage1 = 10,
    kBombStage2 = 11,
    kDestroyColor = 12,
    kSimpleBomb = 13,
    kWaveDSide = 14,
    kWaveVer = 15,
    kWaveHor = 16,
    kCross = 17,
    kSuperBomb = 18,
    kSuperWaveDSide = 19,
    kSuperWaveVer = 20,
    kSuperWaveHor = 21,
    kSuperCross = 22,
    kStar = 23,
    kSuperStar = 24,
    kStorm = 25,
    kCell = 26,
    kIce = 27,
    kIceChip1 = 28,
    kIceChip2 = 29,
    kIceChip3 = 30,
    kChainBomb = 31,
    kChipGenerator = 32,
    kStuffChip = 33,
    kAnyBonus = 34,
};

// Exact comparison; any name beginning with "Cell" is kCell; anything else kSimple.
BehaviorKind behaviorKindFromName(const std::string& name);

// The canonical name of a kind ("Cell" for kCell, "SuperWaveVer" for 20);
// "Unknown" outside the table.
const char* behaviorKindName(int kind);
