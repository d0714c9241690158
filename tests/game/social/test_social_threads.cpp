// The photo streamer's worker thread against the main thread's records
// (built into the ThreadSanitizer set).
#include <gtest/gtest.h>

#include "log_system.h"

#include <chrono>
#include <thread>

#include "mutex_lock.h"
#include "social/facebook_data_streamer.h"
#include "social/facebook_integration.h"
#include "social/facebook_message_dispatcher.h"

namespace {

struct StreamerWorld {
    StreamerWorld() : integration(new FacebookIntegration()) {}
    QV::LogSystem log;
    ~StreamerWorld() {
        delete integration;  // stops and joins the worker first
        delete FacebookDataStreamer::instancePointer();
        delete FacebookMessageDispatcher::instancePointer();
    }
    FacebookDataStreamer& streamer() { return *FacebookDataStreamer::instance(); }
    // Waits for `count` more passes of the worker, however slow a busy machine is; a stuck
    // worker fails the test at ctest's own limit, not at a shorter one of ours.
    bool waitPasses(int count) {
        const int target = streamer().passes() + count;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(600);
        while (streamer().passes() < target && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return streamer().passes() >= target;
    }
    FacebookIntegration* integration;
};

}  // namespace

TEST(FacebookDataStreamer, NeverStartedIsDestroyedWithoutJoin) {
    StreamerWorld world;
    EXPECT_FALSE(world.streamer().started);
    EXPECT_FALSE(world.streamer().thread.isJoinable());
}

TEST(FacebookDataStreamer, StartsOnceAndStopsWithTheIntegration) {
    StreamerWorld world;
    world.integration->openSession();  // the session-opened handler starts it
    ASSERT_TRUE(world.streamer().started);
    ASSERT_TRUE(world.streamer().thread.isJoinable());
    world.streamer().start();
    world.integration->closeSession();
    world.integration->openSession();  // a later opening finds it running
    EXPECT_TRUE(world.waitPasses(2));
    world.integration->closeSession();
    delete world.integration;
    world.integration = nullptr;
    EXPECT_FALSE(world.streamer().started);
    EXPECT_TRUE(world.streamer().stopRequested);
    EXPECT_FALSE(world.streamer().thread.isJoinable());
    const int passes = world.streamer().passes();
    world.streamer().start();  // never again in this run
    EXPECT_FALSE(world.streamer().thread.isJoinable());
    EXPECT_EQ(world.streamer().passes(), passes);
}

TEST(FacebookDataStreamer, ReleasesUnwantedPhotosWhileTheMainThreadRebuildsTheList) {
    StreamerWorld world;
    FacebookIntegration& fb = *world.integration;
    fb.openSession();
    ASSERT_TRUE(world.waitPasses(1));
    // Without a sprite manager the records have no sprites; mark one as loaded and unwanted.
    FacebookUser* friend1 = fb.findUser(1);
    {
        QV::MutexLock lock(&friend1->mutex);
        friend1->photoLoaded = true;
        friend1->photoWanted = false;
    }
    ASSERT_TRUE(world.waitPasses(2));
    {
        QV::MutexLock lock(&friend1->mutex);
        EXPECT_FALSE(friend1->photoLoaded);
        EXPECT_EQ(friend1->photo, nullptr);
    }
    // The list is rebuilt and emptied while the worker walks it.
    for (int i = 0; i < 20; ++i) {
        fb.closeSession();
        fb.openSession();
        fb.loadRequests();
    }
    EXPECT_TRUE(world.waitPasses(1));
    fb.closeSession();
}
