#pragma once

#include <map>
#include <string>

#include "flow/game_state.h"
#include "singleton.h"
#include "vector2.h"

// Owns the game states by name and switches between them. A switch asked for
// while the current state updates waits for the start of the next frame.
class GameStateManager : public QV::Singleton<GameStateManager>, public MovieStateListener {
public:
    // The game's manager: the states are made and the logo loads at once.
    GameStateManager();
    // A manager without states for a resolution (tests and tools register their own).
    GameStateManager(int configuredWidth, int configuredHeight);
    ~GameStateManager() override;

    void registerState(IGameState* state);
    void unregisterState(IGameState* state);
    void changeState(IGameState* state);
    // The "setState" command: a name no state has changes nothing.
    void setState(std::string name);
    void onMovieFinished() override;

    // The game update's state step: a waiting switch is made and nothing else;
    // otherwise the current loaded state updates, then afterState (the
    // tutorials), with the updating flag set around both.
    void step(float dt, void (*afterState)(float) = nullptr);

    // The workspace the layouts are written for.
    QV::Vector2<float> getDesignScreenSize() const;

    IGameState* getCurrentState() const { return mCurrentState; }
    IGameState* getPendingState() const { return mPendingState; }
    IGameState* findState(const std::string& name) const;
    bool isUpdating() const { return mUpdating; }
    void setUpdating(bool updating) { mUpdating = updating; }
    int getOrientation() const { return mOrientation; }
    void setOrientation(int portrait) { mOrientation = portrait; }
    IGameState* getGameLevel() const { return mGameLevel; }
    IGameState* getMainMenu() const { return mMainMenu; }
    IGameState* getMovieState() const { return mMovieState; }

private:
    void bindCommands();

    std::map<std::string, IGameState*> mStates;
    IGameState* mCurrentState = nullptr;
    IGameState* mGameLevel = nullptr;
    IGameState* mMainMenu = nullptr;
    IGameState* mMovieState = nullptr;
    int mOrientation = 0;
    bool mUpdating = false;
    IGameState* mPendingState = nullptr;
    int mConfiguredWidth = 0;
    int mConfiguredHeight = 0;
    bool mOwnsSetState = false;
};
