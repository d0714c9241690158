#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "singleton.h"
#include "thread.h"

// The social layer's one worker thread: while the player and friends are
// loaded it releases photos no longer wanted and counts those still missing.
class FacebookDataStreamer : public QV::Singleton<FacebookDataStreamer> {
public:
    FacebookDataStreamer() = default;
    // Stops and joins the worker.
    ~FacebookDataStreamer() override;

    // Starts the worker once per run; later calls do nothing.
    void start();
    // Asks the worker to leave and waits for it; the integration calls it
    // before its records go away.
    void stop();
    static void run(void* streamer);

    // Passes made so far (tests wait on it).
    int passes() const { return mPasses.load(); }

    QV::Thread thread;
    std::atomic<bool> started{false};
    std::atomic<bool> stopRequested{false};

private:
    // One walk of the records; returns how many photos are wanted and missing.
    int pass();
    void sleepFor(int milliseconds);

    std::atomic<int> mPasses{0};
    std::mutex mWakeMutex;
    std::condition_variable mWake;
};
