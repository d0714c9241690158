#pragma once

#include <string>

#include "board/object_score.h"

class Cell;
class Chip;
class GameHelper;
struct ChipDestroyInfo;
struct MatchLines;

namespace AE {
class DataStream;
}
namespace QV {
class LuaScript2;
}

// Level-end effects a level state plays.
enum GameLevelEffect {
    kEffectWin = 0,
    kEffectFail = 1,
    kEffectNoMoreMoves = 2,
    kEffectNoPossibleMoves = 3,
    kEffectTimeUp = 4,
};

// Kinds of per-level rule objects.
enum GameHelperKind {
    kHelperAny = 0,
    kHelperMoveLimit = 1,
    kHelperTimer = 2,
    kHelperBoostersPanel = 4,
    kHelperIce = 5,
    kHelperPassiveBoosters = 6,
    kHelperGoals = 7,
};

// A cell position for score texts, in cells.
struct ScorePosition {
    float column = 0.0f;
    float row = 0.0f;
};

// The rules object between the game states and the board. The slot order is
// fixed: destructor first, then the 26 operations below in this order.
class Mode {
public:
    virtual ~Mode();
    virtual void activate();
    virtual void deactivate();
    virtual void createStates() {}
    virtual void onLevelLoaded() {}
    virtual void onBoardReady() {}
    virtual void updateLevel(float dt) { (void)dt; }
    virtual void onMoveMade(Cell* first, Cell* second) { (void)first, (void)second; }
    virtual void onEffectPlayed(GameLevelEffect effect) { (void)effect; }
    virtual void onStateActivated(const std::string& stateName) { (void)stateName; }
    virtual void onStateEnded(const std::string& stateName) { (void)stateName; }
    virtual void writeSection(AE::DataStream& out) = 0;
    // False when the bytes do not fit and the mode keeps its reset state.
    virtual bool readSection(AE::DataStream& in) = 0;
    virtual void readLevelRules(QV::LuaScript2& script) { (void)script; }
    virtual void onNoPossibleMoves() {}
    virtual void onChipDestroyed(const ChipDestroyInfo& info) { (void)info; }
    // The board also hands the chip that scored (may be null).
    virtual void onScored(const ObjectScore& score, const ScorePosition& position, Chip* chip) {
        (void)score, (void)position, (void)chip;
    }
    virtual void relayout(int portrait) { (void)portrait; }
    virtual void onCellDamaged(Cell* cell) { (void)cell; }
    virtual void reset(int newGame) { (void)newGame; }
    virtual void replayLevel() {}
    virtual void openIngameMenu() {}
    // True when the rules took the hit themselves.
    virtual bool onNeighbourDestroyed(Chip* destroyed, Chip* neighbour) {
        (void)destroyed, (void)neighbour;
        return false;
    }
    virtual GameHelper* getHelper(GameHelperKind kind) { (void)kind; return nullptr; }
    virtual bool isLevelRunning() = 0;
    // True when the run became a bonus chip and the mode destroyed the run itself.
    virtual bool createBonusChip(MatchLines& match) = 0;
    // True when both are bonus chips and a fusion was started.
    virtual bool tryFuseBonusChips(Chip* selected, Chip* clicked) = 0;

    // The game properties' current mode; activate and deactivate set and clear it.
    static Mode* current();
};
