#pragma once

namespace AE {
class ISceneNode;
}
class GoalsHelper;
class MoveLimitHelper;

// The count-down the level shows over the last five moves: the scene's
// marker named by the number of moves left, each played once.
struct MoveWarning {
    MoveWarning() = default;
    MoveWarning(const MoveWarning&) = delete;
    MoveWarning& operator=(const MoveWarning&) = delete;
    ~MoveWarning();

    void update();

    MoveLimitHelper* moveLimit = nullptr;
    AE::ISceneNode* scene = nullptr;  // owned
    int lastShown = -1;
    int portrait = 0;
    GoalsHelper* goals = nullptr;
};
