#pragma once

#include <string>
#include <vector>

namespace AE {

class ISceneNode;
class Marker;

// Told when every entry of a marker that is not looped has reached its end.
class MarkerListener {
public:
    virtual ~MarkerListener() = default;
    virtual void onMarkerFinished(Marker* marker) = 0;
};

// Holds back marker listeners while a scene update walks its tree: a marker
// that finishes waits here and its listeners are told when the outermost
// update has finished its walk, so a listener may delete the scene.
class DeferredMarkerNotifications {
public:
    DeferredMarkerNotifications();
    ~DeferredMarkerNotifications();
    DeferredMarkerNotifications(const DeferredMarkerNotifications&) = delete;
    DeferredMarkerNotifications& operator=(const DeferredMarkerNotifications&) = delete;

    // Tells the waiting markers' listeners (only the outermost holder does).
    void deliver();

private:
    friend class Marker;
    bool mOutermost = false;
    std::vector<Marker*> mQueue;
};

// A named play list of a scene: entries naming a node and a range of its
// frames, started, stopped, reversed or skipped as one unit.
class Marker {
public:
    enum State { kPlaying = 0, kFinished = 1, kStopped = 2, kPaused = 3 };

    struct Entry {
        ISceneNode* node = nullptr;  // not owned
        int fromFrame = -1;          // -1: none
        int toFrame = -1;            // -1: none
        bool recursive = false;
        bool looped = false;
        // Elapsed time at which the entry reaches its to-frame; -1 once moved to its end.
        float remaining = 0.0f;
    };

    explicit Marker(const std::string& name) : mName(name) {}
    // A copy for a copied tree: entries found again by their paths under `newOwner`.
    Marker(const Marker& source, ISceneNode* newOwner, const ISceneNode* sourceOwner);
    Marker(const Marker&) = delete;
    Marker& operator=(const Marker&) = delete;
    ~Marker();

    void addEntry(ISceneNode* node, int fromFrame, int toFrame, bool recursive, bool looped);
    void play(bool restart);
    void stop(bool all);
    void skipToEnd();
    void jumpToEnd();
    void setReversed(bool reversed);
    void update(float dt);
    void addListener(MarkerListener* listener);
    void removeListener(MarkerListener* listener);
    // Drops the entries of the node and of its descendants.
    void removeNode(ISceneNode* node);
    // Stops every entry's node; the state becomes stopped or paused.
    void haltEntries();

    const std::string& getName() const { return mName; }
    int getState() const { return mState; }
    float getElapsed() const { return mElapsed; }
    bool isReversed() const { return mReversed; }
    const std::vector<Entry*>& getEntries() const { return mEntries; }

    std::vector<Entry*> mEntries;
    std::string mName;
    float mElapsed = 0.0f;
    int mState = kStopped;
    bool mBusy = false;
    bool mReversed = false;
    std::vector<MarkerListener*> mListeners;

private:
    void restartEntry(Entry& entry);
    void resumeEntry(Entry& entry);
    void removeFirstEntryOf(const ISceneNode* node);
    void notifyListeners();

    friend class DeferredMarkerNotifications;
    // Waiting in the active DeferredMarkerNotifications.
    bool mQueued = false;

    // Set while update runs: a listener may delete the marker with its scene.
    bool* mDestroyed = nullptr;
};

}  // namespace AE
