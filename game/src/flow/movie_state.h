#pragma once

#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "flow/game_state.h"

namespace AE {
class ISceneNode;
}

// One numbered part of a cutscene: the marker that plays it, and whether it
// runs on to the next part by itself ("#part:Na") or waits for a click ("#part:N").
struct CutscenePart {
    AE::Marker* marker = nullptr;  // the scene's; not owned
    bool automatic = false;
};

// Finds parts 1, 2, ... of a scene's root; the list ends at the first number with neither marker.
std::vector<CutscenePart> findCutsceneParts(AE::ISceneNode* root);

// The "MovieState" state: a scene played part by part; a click skips the rest
// of the current part. After the last part its listener decides what follows.
class MovieState : public IGameState, public AE::MarkerListener {
public:
    MovieState() = default;
    ~MovieState() override;

    void load() override;
    void unload() override;
    void update(float dt) override;
    void render() override;
    void onActivate() override;
    void onDeactivate() override;
    std::string getName() const override { return "MovieState"; }
    void onOrientationChanged(int portrait) override;
    void onMarkerFinished(AE::Marker* marker) override;

    void nextPart();

    // Set by the caller before switching to the state.
    void setSceneName(const std::string& name) { mSceneName = name; }
    const std::string& getSceneName() const { return mSceneName; }
    void setListener(MovieStateListener* listener) { mListener = listener; }
    MovieStateListener* getListener() const { return mListener; }
    // The next click is swallowed (the intro sets it).
    void setSkipFirstClick(bool skip) { mSkipFirstClick = skip; }
    bool getSkipFirstClick() const { return mSkipFirstClick; }

    AE::ISceneNode* getScene() const { return mSceneRoot; }
    int getCurrentPart() const { return mCurrentPart; }
    const std::vector<CutscenePart>& getParts() const { return mParts; }

    // The job's build step (public for tests that build on the main thread).
    void initialize();

private:
    void initializeAsync();
    void startCurrentPart();
    bool clickReleased() const;

    std::string mSceneName;
    AE::ISceneNode* mSceneRoot = nullptr;
    int mCurrentPart = 0;
    std::vector<CutscenePart> mParts;
    bool mSkipFirstClick = false;
    MovieStateListener* mListener = nullptr;
    bool mWaitingForVideo = false;
    // Set by the build when the scene cannot play; the next update tells the listener.
    bool mBroken = false;
};
