#include "video_surface_streamer.h"

#include <sched.h>
#include <time.h>

#include <algorithm>

#include "application.h"
#include "crash_handler.h"
#include "log_system.h"
#include "mutex_lock.h"
#include "video_surface.h"

namespace QV {

namespace {

// Written by the main thread, read by the decoding thread.
std::atomic<bool> gApplicationActive{false};

bool applicationActive() { return gApplicationActive.load(); }

std::atomic<VideoSurfaceStreamer::ActivityProbe> gActivityProbe{nullptr};
std::atomic<const PerformanceCounter*> gClockSource{nullptr};

bool videoTimeRuns() {
    VideoSurfaceStreamer::ActivityProbe probe = gActivityProbe.load();
    return probe ? probe() : applicationActive();
}

}  // namespace

void VideoSurfaceStreamer::setActivityProbe(ActivityProbe probe) { gActivityProbe = probe; }

void VideoSurfaceStreamer::setApplicationActive(bool active) { gApplicationActive = active; }

void VideoSurfaceStreamer::setClockSource(const PerformanceCounter* clock) { gClockSource = clock; }

VideoSurfaceStreamer::VideoSurfaceStreamer(bool startThread) {
    initRecursiveMutex(&mMutex);
    pthread_mutex_init(&mWaitMutex, nullptr);
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    pthread_cond_init(&mWaitCondition, &attr);
    pthread_condattr_destroy(&attr);
    if (startThread) {
        const int error = startEngineThread(&mThread, &VideoSurfaceStreamer::threadEntry, this);
        mThreadStarted = error == 0;
        if (!mThreadStarted) logFormat("ERROR: VideoSurfaceStreamer: decoding thread not started (%i)", error);
    }
}

VideoSurfaceStreamer::~VideoSurfaceStreamer() {
    pthread_mutex_lock(&mWaitMutex);
    mStop = true;
    pthread_cond_broadcast(&mWaitCondition);
    pthread_mutex_unlock(&mWaitMutex);
    if (mThreadStarted) pthread_join(mThread, nullptr);
    mThreadStarted = false;
    // Surfaces the player did not remove.
    for (VideoSurface* surface : mSurfaces) delete surface;
    mSurfaces.clear();
    pthread_cond_destroy(&mWaitCondition);
    pthread_mutex_destroy(&mWaitMutex);
    pthread_mutex_destroy(&mMutex);
}

VideoSurface* VideoSurfaceStreamer::createSurface(const std::string& name) {
    MutexLock lock(&mMutex);
    if (mSurfaces.size() >= kMaxSurfaces) return nullptr;
    VideoSurface* surface = new VideoSurface(gClockSource.load());
    if (!surface->open(name)) {
        delete surface;
        return nullptr;
    }
    mSurfaces.push_back(surface);
    return surface;
}

int VideoSurfaceStreamer::removeSurface(VideoSurface* surface) {
    MutexLock lock(&mMutex);
    std::vector<VideoSurface*>::iterator it = std::find(mSurfaces.begin(), mSurfaces.end(), surface);
    if (it == mSurfaces.end()) return 1;
    mSurfaces.erase(it);
    delete surface;
    return 0;
}

void VideoSurfaceStreamer::uploadFrames() {
    MutexLock lock(&mMutex);
    for (VideoSurface* surface : mSurfaces) surface->uploadPlanes();
}

size_t VideoSurfaceStreamer::surfaceCount() {
    MutexLock lock(&mMutex);
    return mSurfaces.size();
}

bool VideoSurfaceStreamer::runPass() {
    const bool active = videoTimeRuns();
    bool decoding = false;
    MutexLock lock(&mMutex);
    for (VideoSurface* surface : mSurfaces) {
        if (active && surface->isPlaying() && !surface->isEnded()) {
            decoding = true;
            surface->resumeClock();
            surface->advance();
        } else {
            // Video time stands still while the window is inactive.
            surface->pauseClock();
        }
    }
    return decoding;
}

void* VideoSurfaceStreamer::threadEntry(void* self) {
    static_cast<VideoSurfaceStreamer*>(self)->run();
    return nullptr;
}

void VideoSurfaceStreamer::run() {
    while (!mStop) {
        if (runPass()) {
            sched_yield();
            continue;
        }
        timespec until;
        clock_gettime(CLOCK_MONOTONIC, &until);
        until.tv_nsec += 100 * 1000 * 1000;
        if (until.tv_nsec >= 1000000000L) {
            until.tv_sec += 1;
            until.tv_nsec -= 1000000000L;
        }
        pthread_mutex_lock(&mWaitMutex);
        if (!mStop) pthread_cond_timedwait(&mWaitCondition, &mWaitMutex, &until);
        pthread_mutex_unlock(&mWaitMutex);
    }
}

}  // namespace QV
