#pragma once

#include <atomic>
#include <string>

// One screen of the game: the logo, the main menu, the map, a level, a cutscene.
class IGameState {
public:
    IGameState() = default;
    // Leaves the state manager's table.
    virtual ~IGameState();
    IGameState(const IGameState&) = delete;
    IGameState& operator=(const IGameState&) = delete;

    virtual void load() = 0;
    virtual void unload() = 0;
    virtual void update(float dt) = 0;
    virtual void render() = 0;
    virtual void onActivate() {}
    virtual void onDeactivate() {}
    virtual std::string getName() const = 0;
    virtual void onOrientationChanged(int portrait) { (void)portrait; }

    // True while the state's resources exist; a loading job sets it last.
    bool isLoaded() const { return mLoaded.load(std::memory_order_acquire); }

protected:
    void setLoaded(bool loaded) { mLoaded.store(loaded, std::memory_order_release); }

private:
    // Written by a loading job, read by the main thread.
    std::atomic<bool> mLoaded{false};
};

// Told when a cutscene has played to its end.
class MovieStateListener {
public:
    virtual ~MovieStateListener() = default;
    virtual void onMovieFinished() = 0;
};
