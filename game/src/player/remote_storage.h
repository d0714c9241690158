#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "singleton.h"

class RemoteStorageListener {
public:
    virtual ~RemoteStorageListener() = default;
    virtual void onRemoteDataReceived() = 0;
    virtual void onRemoteSaveRequested() = 0;
};

// Stands for an online progress store; nothing reports through it here.
class RemoteStorage : public QV::Singleton<RemoteStorage> {
public:
    RemoteStorage() = default;
    ~RemoteStorage() override = default;

    // Appends unless already listed; listeners are not owned.
    void addListener(RemoteStorageListener* listener);
    std::vector<RemoteStorageListener*>& listeners() { return mListeners; }

    // Each friend's progress by user id (ordered by id); filled by the social
    // stand-in while a session is open.
    std::map<uint64_t, int32_t> friendProgress;

private:
    std::vector<RemoteStorageListener*> mListeners;
};
