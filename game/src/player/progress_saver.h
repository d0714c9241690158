#pragma once

#include "player/remote_storage.h"
#include "singleton.h"

// The one place game parts ask for an immediate save of the player's progress.
class ProgressSaver : public QV::Singleton<ProgressSaver>, public RemoteStorageListener {
public:
    ProgressSaver() = default;
    ~ProgressSaver() override = default;

    // Writes the profile file now (without GameProperties nothing is saved).
    void saveNow();
    // No remote store exists; kept for the callers that ask for it.
    void syncRemote();

    void onRemoteDataReceived() override {}
    void onRemoteSaveRequested() override {}
};
