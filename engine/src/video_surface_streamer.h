#pragma once

#include <pthread.h>

#include <atomic>
#include <string>
#include <vector>

#include "singleton.h"

namespace QV {

class PerformanceCounter;
class VideoSurface;

// Owns the video surfaces and runs the one thread that decodes them while
// the window is active. The main thread creates and removes surfaces and
// uploads their decoded frames once per rendered frame.
class VideoSurfaceStreamer : public Singleton<VideoSurfaceStreamer> {
public:
    static constexpr size_t kMaxSurfaces = 127;

    // Whether video time runs (by default: the application exists and is active).
    using ActivityProbe = bool (*)();

    // startThread false leaves decoding to runPass (tools and checks that step it).
    explicit VideoSurfaceStreamer(bool startThread = true);
    ~VideoSurfaceStreamer() override;

    // A registered surface playing the video resource, or null when the
    // video can't be opened or kMaxSurfaces are registered.
    VideoSurface* createSurface(const std::string& name);
    // Deletes a registered surface: 0, or 1 when it isn't registered.
    int removeSurface(VideoSurface* surface);
    // Main thread, once per rendered frame: every surface uploads its new planes.
    void uploadFrames();

    // One pass of the decoding thread over the surfaces; true when some
    // surface was decoding.
    bool runPass();

    size_t surfaceCount();
    bool isThreadStarted() const { return mThreadStarted; }

    // Null restores the defaults.
    // The application's active state as the decoding thread sees it; the
    // application reports each change (without one, video time stands still).
    static void setApplicationActive(bool active);
    static void setActivityProbe(ActivityProbe probe);
    // The time source of surfaces created afterwards.
    static void setClockSource(const PerformanceCounter* clock);

private:
    static void* threadEntry(void* self);
    void run();

    std::vector<VideoSurface*> mSurfaces;
    pthread_mutex_t mMutex;
    pthread_t mThread;
    bool mThreadStarted = false;
    std::atomic<bool> mStop{false};
    // Wakes the thread's idle wait at shut-down.
    pthread_mutex_t mWaitMutex;
    pthread_cond_t mWaitCondition;
};

}  // namespace QV
