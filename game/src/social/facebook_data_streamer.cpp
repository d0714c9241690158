#include "social/facebook_data_streamer.h"

#include <chrono>
#include <vector>

#include "mutex_lock.h"
#include "social/facebook_integration.h"

namespace {
// The worker never spins: with photos missing it still rests this long a pass.
constexpr int kBusyPauseMs = 10;
constexpr int kIdlePauseMs = 250;
}  // namespace

FacebookDataStreamer::~FacebookDataStreamer() { stop(); }

void FacebookDataStreamer::start() {
    if (started || stopRequested) return;
    started = true;
    // A failed creation leaves the thread unjoinable: the streamer never runs.
    if (!thread.isJoinable()) thread.create(&FacebookDataStreamer::run, this);
}

void FacebookDataStreamer::stop() {
    if (!started || stopRequested) return;
    {
        std::lock_guard<std::mutex> lock(mWakeMutex);
        stopRequested = true;
    }
    mWake.notify_all();
    if (thread.isJoinable()) thread.join();
    started = false;
}

void FacebookDataStreamer::run(void* streamer) {
    auto* self = static_cast<FacebookDataStreamer*>(streamer);
    while (!self->stopRequested) {
        const int missing = self->pass();
        self->mPasses.fetch_add(1);
        self->sleepFor(missing > 0 ? kBusyPauseMs : kIdlePauseMs);
    }
}

void FacebookDataStreamer::sleepFor(int milliseconds) {
    std::unique_lock<std::mutex> lock(mWakeMutex);
    mWake.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stopRequested.load(); });
}

int FacebookDataStreamer::pass() {
    FacebookIntegration* integration = FacebookIntegration::instancePointer();
    if (!integration || !integration->userDataReady || !integration->friendsReady) return 0;
    FacebookUser& user = integration->user;
    {
        QV::MutexLock userLock(&user.mutex);
        QV::MutexLock listLock(&integration->friendsMutex);
        std::vector<FacebookUser*> unwanted;
        unwanted.reserve(1024);
        if (user.photoLoaded && !user.photoWanted) unwanted.push_back(&user);
        for (FacebookUser* record : integration->friends) {
            QV::MutexLock recordLock(&record->mutex);
            if (record->photoLoaded && !record->photoWanted) unwanted.push_back(record);
        }
        for (FacebookUser* record : unwanted) {
            QV::MutexLock recordLock(&record->mutex);
            record->releasePhoto();
        }
    }
    int missing = 0;
    QV::MutexLock userLock(&user.mutex);
    QV::MutexLock listLock(&integration->friendsMutex);
    if (user.photoWanted && !user.photoLoaded) ++missing;
    for (FacebookUser* record : integration->friends) {
        QV::MutexLock recordLock(&record->mutex);
        if (record->photoWanted && !record->photoLoaded) ++missing;
    }
    return missing;
}
