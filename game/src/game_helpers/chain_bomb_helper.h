#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "board/view/scene_effect.h"
#include "board/view/scene_flying_effect.h"
#include "game_helpers/game_helper.h"
#include "vector2.h"

class Chip;
class GameField;

// Chain bombs count down on each move (or each whole second of a time
// limit) once the board is still; at zero a bomb throws its "chains" at
// plain chips and starts again from its "limit". A chain flies as a scene
// and, where it lands, the chip gets a Chain layer. While chains fly the
// board holds still and the level counts one open dialog per chain.
class ChainBombHelper : public GameHelper, public SceneEffectListener, public SceneFlyingEffectListener {
public:
    static constexpr int kFlightLayer = 150;

    ChainBombHelper() = default;
    ~ChainBombHelper() override;

    void onLevelStart() override;
    // The bombs of the level now on the board, each showing its "limit".
    void loadChainBombs();
    // A move, or a whole second of a time limit, passed.
    void requestStep() { mStepPending = true; }
    void forgetChip(Chip* chip);
    void update(float dt) override;
    std::string describe() const override;
    void step();
    void throwChains(const QV::Vector2<float>& from, int chains, std::vector<Chip*>& candidates);
    void onSceneEffectFinished(SceneEffect* effect) override { (void)effect; }
    void onSceneFlyingEffectFinished(SceneFlyingEffect* effect) override;

    size_t flightsInAir() const { return mFlights.size(); }

private:
    struct Target {
        Chip* chip;
        uint32_t generation;
    };
    void showCount(Chip* bomb, int value);
    void holdBoard(GameField* field);

    std::vector<Chip*> mBombs;
    std::map<SceneFlyingEffect*, Target> mFlights;
    bool mStepPending = false;
    // Dialogs this object raised on the level and has not lowered yet.
    int mRaised = 0;
    int mThrown = 0;
};
