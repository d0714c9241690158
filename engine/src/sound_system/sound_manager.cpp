#include "sound_manager.h"

#include <atomic>

#include "mutex_lock.h"
#include "report_assert.h"
#include "sound_log.h"

namespace QV {

namespace {

// -1 no application, 0 inactive, 1 active.
std::atomic<int> gApplicationState{-1};

bool validHandle(int handle) { return handle > 0 && handle < SoundManager::kMaxChannels; }
bool validId(int id) { return id > 0 && id < SoundManager::kMaxResources; }

}  // namespace

void SoundManager::setApplicationActive(bool active) { gApplicationState = active ? 1 : 0; }
void SoundManager::clearApplication() { gApplicationState = -1; }
bool SoundManager::hasApplication() { return gApplicationState.load() >= 0; }
float SoundManager::applicationGainFactor() { return gApplicationState.load() == 0 ? 0.0f : 1.0f; }

SoundManager::SoundManager() { construct(SoundOutput()); }

SoundManager::SoundManager(const SoundOutput& output) { construct(output); }

void SoundManager::construct(const SoundOutput& output) {
    for (int i = 0; i < kMaxChannels; ++i) mPool[i].nextFree = i + 1 < kMaxChannels ? i + 1 : -1;
    mFirstFree = 0;
    mFreeCount = kMaxChannels;
    initRecursiveMutex(&mMutex);
    mQueue.reserve(10);
    mHasDevice = mDevice.open(output) == 0;
}

SoundManager::~SoundManager() {
    {
        MutexLock lock(&mMutex);
        if (mHasDevice) {
            for (int handle = 0; handle < kMaxChannels; ++handle)
                if (mChannels[handle]) reclaim(handle);
            for (int id = 0; id < kMaxResources; ++id) {
                delete mResources[id];
                mResources[id] = nullptr;
            }
            mNames.clear();
            mQueue.clear();
        }
    }
    pthread_mutex_destroy(&mMutex);
    mDevice.close();
}

SoundChannel* SoundManager::takeRecord() {
    if (mFirstFree < 0) return nullptr;
    SoundChannel* record = &mPool[mFirstFree];
    mFirstFree = record->nextFree;
    record->nextFree = -1;
    --mFreeCount;
    return record;
}

void SoundManager::returnRecord(SoundChannel* channel) {
    int index = static_cast<int>(channel - mPool);
    *channel = SoundChannel();
    channel->nextFree = mFirstFree;
    mFirstFree = index;
    ++mFreeCount;
}

int SoundManager::acquireResource(const std::string& name) {
    MutexLock lock(&mMutex);
    if (!mHasDevice) return 0;
    auto found = mNames.find(name);
    if (found == mNames.end()) return 0;
    SoundResource* resource = mResources[found->second];
    if (!resource) return 0;
    ++resource->references;
    return found->second;
}

int SoundManager::findFreeId() const {
    for (int step = 1; step <= kMaxResources; ++step) {
        int id = (mLastId + step) % kMaxResources;
        if (id != 0 && !mResources[id]) return id;
    }
    return 0;
}

int SoundManager::loadResource(const SoundDescription& description) {
    {
        MutexLock lock(&mMutex);
        if (!mHasDevice || mNames.count(description.fileName) || findFreeId() == 0) return 0;
    }
    // Reading and preparing the file runs without the lock so a long load
    // does not hold up the frame.
    SoundResource* resource = new SoundResource(description);
    resource->buildChunks(description.fileName);
    resource->references = 1;

    MutexLock lock(&mMutex);
    // Another thread may have registered the name or taken the last id meanwhile.
    int id = mNames.count(description.fileName) ? 0 : findFreeId();
    if (id == 0) {
        delete resource;
        return 0;
    }
    mResources[id] = resource;
    mNames[description.fileName] = id;
    mLastId = id;
    return id;
}

void SoundManager::releaseResource(int id) {
    MutexLock lock(&mMutex);
    if (!mHasDevice || !validId(id) || !mResources[id]) return;
    if (--mResources[id]->references <= 0) unloadResource(id);
}

void SoundManager::unloadResource(int id) {
    MutexLock lock(&mMutex);
    if (!mHasDevice || !validId(id) || !mResources[id]) return;
    SoundResource* resource = mResources[id];
    for (int handle = 1; handle < kMaxChannels; ++handle)
        if (mChannels[handle] && mChannels[handle]->resource == resource) reclaim(handle);
    for (auto it = mNames.begin(); it != mNames.end(); ++it) {
        if (it->second == id) {
            mNames.erase(it);
            break;
        }
    }
    delete resource;
    mResources[id] = nullptr;
}

int SoundManager::play(int id) {
    MutexLock lock(&mMutex);
    if (!mHasDevice || !validId(id)) return 0;
    return createSound(id);
}

int SoundManager::playByName(const std::string& name) {
    int id = 0;
    {
        MutexLock lock(&mMutex);
        if (!mHasDevice) return 0;
        auto found = mNames.find(name);
        if (found != mNames.end()) id = found->second;
    }
    if (id == 0) {
        SoundDescription description;
        description.fileName = name;
        id = loadResource(description);
        if (id == 0) {
            // Lost a race with another registration of the same name.
            MutexLock lock(&mMutex);
            auto found = mNames.find(name);
            if (found != mNames.end()) id = found->second;
        }
    }
    return play(id);
}

float SoundManager::queueKey(const SoundChannel* channel) {
    return static_cast<float>(channel->resource->priority) * channel->volume;
}

int SoundManager::createSound(int id) {
    SoundResource* resource = mResources[id];
    if (!resource) {
        soundLog("WARNING: SoundManager::createSound Bad sound resource ptr!");
        return 0;
    }
    if (resource->group == 0 && static_cast<int>(mQueue.size()) >= mQueueLimit) {
        float newcomer = static_cast<float>(resource->priority) * resource->volume;
        if (!(newcomer > queueKey(mQueue.back()))) {
            soundLog("ERROR: SoundManager::createSound Sound can not be queued");
            return 0;
        }
    }
    int handle = 0;
    for (int step = 1; step <= kMaxChannels; ++step) {
        int candidate = (mLastHandle + step) % kMaxChannels;
        if (candidate != 0 && !mChannels[candidate]) {
            handle = candidate;
            break;
        }
    }
    if (handle == 0) {
        soundLog("ERROR: SoundManager::createSound Can't play sound");
        return 0;
    }
    SoundChannel* channel = takeRecord();
    if (!channel) QV_FATAL("Failed to allocate Sound object on pool");
    channel->create(this, resource);
    mChannels[handle] = channel;
    channel->start();
    mLastHandle = handle;
    enterQueue(channel);
    return handle;
}

void SoundManager::enterQueue(SoundChannel* channel) {
    if (channel->resource->group != 0) return;
    mQueue.insert(mQueue.begin(), channel);
    // Insertion sort, highest key first; an entry moves ahead only past
    // strictly smaller keys, so among equals the newest stays in front.
    for (size_t i = 1; i < mQueue.size(); ++i) {
        SoundChannel* moving = mQueue[i];
        float key = queueKey(moving);
        size_t j = i;
        while (j > 0 && queueKey(mQueue[j - 1]) < key) {
            mQueue[j] = mQueue[j - 1];
            --j;
        }
        mQueue[j] = moving;
    }
    while (static_cast<int>(mQueue.size()) > mQueueLimit) {
        SoundChannel* cut = mQueue.back();
        mQueue.pop_back();
        cut->setVolume(0.0f);
        cut->stopSource();
        cut->deleteSource();
        cut->finished = true;
    }
    float step = 1.0f / static_cast<float>(mQueueLimit);
    for (size_t rank = 0; rank < mQueue.size(); ++rank)
        mQueue[rank]->setVolume(1.0f - step * static_cast<float>(rank));
}

void SoundManager::leaveQueue(SoundChannel* channel) {
    for (auto it = mQueue.begin(); it != mQueue.end(); ++it) {
        if (*it == channel) {
            mQueue.erase(it);
            return;
        }
    }
}

void SoundManager::reclaim(int handle) {
    SoundChannel* channel = mChannels[handle];
    if (!channel) return;
    leaveQueue(channel);
    channel->stopSource();
    channel->deleteSource();
    returnRecord(channel);
    mChannels[handle] = nullptr;
}

int SoundManager::stop(int handle) {
    MutexLock lock(&mMutex);
    if (!mHasDevice || !validHandle(handle) || !mChannels[handle]) return 1;
    SoundChannel* channel = mChannels[handle];
    channel->stopSource();
    channel->finished = true;
    // A stopped sound no longer counts against the five audible effects.
    leaveQueue(channel);
    return 0;
}

void SoundManager::stopAll() {
    MutexLock lock(&mMutex);
    if (!mHasDevice) return;
    for (int handle = 1; handle < kMaxChannels; ++handle) {
        SoundChannel* channel = mChannels[handle];
        if (!channel || !channel->hasSource) continue;
        channel->stopSource();
        channel->finished = true;
        leaveQueue(channel);
    }
}

int SoundManager::setVolume(int handle, float volume) {
    MutexLock lock(&mMutex);
    if (!mHasDevice || !validHandle(handle) || !mChannels[handle]) return 1;
    mChannels[handle]->setVolume(volume);
    return 0;
}

bool SoundManager::isPlaying(int handle) {
    MutexLock lock(&mMutex);
    if (!mHasDevice || !validHandle(handle) || !mChannels[handle]) return false;
    return mChannels[handle]->isPlaying();
}

void SoundManager::setGroupVolume(int group, float volume) {
    MutexLock lock(&mMutex);
    if (!mHasDevice) return;
    mGroupVolume[group] = volume;
    for (int handle = 1; handle < kMaxChannels; ++handle) {
        SoundChannel* channel = mChannels[handle];
        if (channel && channel->hasSource) channel->setVolume(channel->volume);
    }
}

float SoundManager::getGroupVolume(int group) {
    MutexLock lock(&mMutex);
    if (!mHasDevice) return 0.0f;
    if (group < 0 || group > 2) return 1.0f;
    return mGroupVolume[group];
}

float SoundManager::masterGainLocked() {
    MutexLock lock(&mMutex);
    return mMasterGain;
}

void SoundManager::updateListenerGain() {
    MutexLock lock(&mMutex);
    if (!mHasDevice || !hasApplication()) return;
    mDevice.setListenerGain(applicationGainFactor());
}

void SoundManager::update() {
    MutexLock lock(&mMutex);
    if (!mHasDevice) return;
    if (hasApplication()) mDevice.setListenerGain(applicationGainFactor());
    for (int handle = 1; handle < kMaxChannels; ++handle) {
        SoundChannel* channel = mChannels[handle];
        if (!channel) continue;
        bool stays = channel->age <= 5 || (channel->isPlaying() && channel->hasSource);
        if (stays) {
            channel->refill();
            channel->age = channel->age + 1 < 10 ? channel->age + 1 : 10;
        } else {
            reclaim(handle);
        }
    }
}

SoundResource* SoundManager::getResource(int id) {
    MutexLock lock(&mMutex);
    if (!mHasDevice || !validId(id)) return nullptr;
    return mResources[id];
}

bool SoundManager::setResourceLooped(int id, bool looped) {
    MutexLock lock(&mMutex);
    SoundResource* resource = getResource(id);
    if (!resource) return false;
    resource->looped = looped;
    return true;
}

SoundChannel* SoundManager::getChannel(int handle) {
    MutexLock lock(&mMutex);
    if (!mHasDevice || !validHandle(handle)) return nullptr;
    return mChannels[handle];
}

std::vector<int> SoundManager::queuedHandles() {
    MutexLock lock(&mMutex);
    std::vector<int> handles;
    for (SoundChannel* channel : mQueue)
        for (int handle = 1; handle < kMaxChannels; ++handle)
            if (mChannels[handle] == channel) handles.push_back(handle);
    return handles;
}

}  // namespace QV
