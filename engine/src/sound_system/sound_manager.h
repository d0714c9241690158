#pragma once

#include <pthread.h>

#include <map>
#include <string>
#include <vector>

#include "singleton.h"
#include "sound_channel.h"
#include "sound_description.h"
#include "sound_device.h"
#include "sound_resource.h"

namespace QV {

// The engine's entry to sound: reference-counted resources by name (ids
// 1..1023), playing sounds by handle (1..63), a queue that keeps at most five
// sound effects audible ranked by priority, and three group volumes. Without
// an audio device it stays inert and every operation gives 0, false or nothing.
class SoundManager : public Singleton<SoundManager> {
public:
    static constexpr int kMaxChannels = 64;
    static constexpr int kMaxResources = 1024;

    SoundManager();
    explicit SoundManager(const SoundOutput& output);
    ~SoundManager() override;

    int acquireResource(const std::string& name);
    int loadResource(const SoundDescription& description);
    void releaseResource(int id);
    void unloadResource(int id);
    int play(int id);
    int playByName(const std::string& name);
    int stop(int handle);
    void stopAll();
    int setVolume(int handle, float volume);
    bool isPlaying(int handle);
    void setGroupVolume0(float volume) { setGroupVolume(0, volume); }
    void setGroupVolume1(float volume) { setGroupVolume(1, volume); }
    void setGroupVolume2(float volume) { setGroupVolume(2, volume); }
    float getGroupVolume(int group);
    void updateListenerGain();
    void update();
    bool loadSoundResources(const std::string& scriptName, const std::string& package);

    // Whether the device opened; the manager is inert otherwise.
    bool hasDevice() const { return mHasDevice; }
    bool isEnabled() const { return mHasDevice; }
    pthread_mutex_t* mutex() { return &mMutex; }

    // The resource under an id, null for a bad id, an unused one or without a device.
    SoundResource* getResource(int id);
    // Sets a resource's looped flag; it applies to its playing sounds too.
    bool setResourceLooped(int id, bool looped);
    // The channel under a handle, null when there is none.
    SoundChannel* getChannel(int handle);
    SoundDevice& device() { return mDevice; }
    // Channels currently in the queue of sound effects, first = loudest.
    std::vector<int> queuedHandles();

    float masterGainLocked();

    // The application frame reports its active flag here (before calling
    // updateListenerGain); until it does, there is no application and sounds
    // play at full gain.
    static void setApplicationActive(bool active);
    static void clearApplication();
    static bool hasApplication();
    // 1.0 while the application is active or absent, 0.0 while it is inactive.
    static float applicationGainFactor();

private:
    void construct(const SoundOutput& output);
    void setGroupVolume(int group, float volume);
    int createSound(int id);
    void enterQueue(SoundChannel* channel);
    void leaveQueue(SoundChannel* channel);
    void reclaim(int handle);
    int findFreeId() const;
    SoundChannel* takeRecord();
    void returnRecord(SoundChannel* channel);
    static float queueKey(const SoundChannel* channel);

    SoundChannel mPool[kMaxChannels];
    int mFirstFree = -1;
    int mFreeCount = 0;
    SoundDevice mDevice;
    SoundChannel* mChannels[kMaxChannels] = {};
    SoundResource* mResources[kMaxResources] = {};
    bool mHasDevice = false;
    std::map<std::string, int> mNames;
    int mLastHandle = 0;
    int mLastId = 0;
    std::vector<SoundChannel*> mQueue;
    float mGroupVolume[3] = {1.0f, 1.0f, 1.0f};
    float mMasterGain = 1.0f;
    pthread_mutex_t mMutex;
    int mQueueLimit = 5;
};

}  // namespace QV
