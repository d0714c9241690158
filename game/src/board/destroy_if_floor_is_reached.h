#pragma once

#include "board/action.h"

class LockTask;

// Idle action of goal chips that leave the board at the floor: once nothing
// solid is below and the board has settled, the chip goes. Meanwhile a lock
// task keeps clicks and the match search away.
class DestroyIfFloorIsReached : public Action {
public:
    DestroyIfFloorIsReached() = default;
    ~DestroyIfFloorIsReached() override;
    bool execute(GameField* field, Chip* chip, float dt) override;
    // A copy starts without a lock task: two actions holding one task would
    // leave the second pointing at it after the manager deleted it.
    Action* clone() const override { return new DestroyIfFloorIsReached(); }

    LockTask* lockTask = nullptr;  // not owned; the field's manager deletes it once released

private:
    // The held task, if the field's manager still lists it.
    bool lockStillListed() const;
    GameField* lockField = nullptr;
};
