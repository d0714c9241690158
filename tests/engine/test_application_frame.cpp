#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "application.h"
#include "engine_notification_dispatcher.h"
#include "file_system.h"
#include "function.h"
#include "job.h"
#include "job_manager.h"
#include "log_system.h"
#include "sound_system/sound_manager.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"

namespace {

class RecordingApplication : public Application {
public:
    void update() override {
        calls.push_back("update");
        if (duringUpdate) duringUpdate();
    }
    void render() override { calls.push_back("render"); }
    void updateLoading() override { calls.push_back("updateLoading"); }
    void renderLoading() override { calls.push_back("renderLoading"); }
    void destroy() override { calls.push_back("destroy"); }
    std::vector<std::string> calls;
    std::function<void()> duringUpdate;
};

class RecordingListener : public QV::NotificationListener {
public:
    void onNotification(QV::Notification* notification) override { codes.push_back(notification->code); }
    std::vector<int> codes;
};

class ApplicationFrame : public testing::Test {
protected:
    ApplicationFrame() : cd(dir.path()) {
        qvtest::writeMedia(dir.file("media"), {});
        QV::gContentDirectory = "./media/";
    }
    void TearDown() override {
        if (app) {
            app->shutDown();
            delete app;
        }
    }
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd;
    RecordingApplication* app = nullptr;
};

TEST_F(ApplicationFrame, RunsGameSlotsOnlyWhileRunningAndActive) {
    app = new RecordingApplication();
    ASSERT_TRUE(app->isRunning());
    ASSERT_TRUE(app->isActive());

    app->updateFrame();
    app->renderFrame();
    EXPECT_EQ(app->calls, (std::vector<std::string>{"update", "render"}));

    app->calls.clear();
    app->onDeactivate();
    app->updateFrame();
    app->renderFrame();
    EXPECT_TRUE(app->calls.empty());

    app->onActivate();
    app->setRunning(false);
    app->updateFrame();
    app->renderFrame();
    EXPECT_TRUE(app->calls.empty());
    app->setRunning(true);
}

std::atomic<bool> gJobMayEnd{false};
void blockingJob() {
    while (!gJobMayEnd.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST_F(ApplicationFrame, RunningJobsTakeTheLoadingSlotsUntilReaped) {
    app = new RecordingApplication();
    gJobMayEnd = false;
    QV::JobManager* jobs = QV::Singleton<QV::JobManager>::instance();
    jobs->addJob(new QV::Function<RecordingApplication>(&blockingJob))->start();

    app->updateFrame();
    app->renderFrame();
    EXPECT_EQ(app->calls, (std::vector<std::string>{"updateLoading", "renderLoading"}));

    gJobMayEnd = true;
    while (jobs->updateJobs() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    app->calls.clear();
    app->renderFrame();  // reaped: the game draws again
    app->updateFrame();
    EXPECT_EQ(app->calls, (std::vector<std::string>{"render", "update"}));
}

void slowJob() { std::this_thread::sleep_for(std::chrono::milliseconds(40)); }

// A scripted run's frames: a load never takes the loading slots, however long
// its job runs, whether it began before the frame or within its update.
TEST_F(ApplicationFrame, FramesThatWaitForJobsRunTheGameSlotsOnly) {
    app = new RecordingApplication();
    if (!std::getenv("QV_FIXED_DT")) {
        EXPECT_FALSE(app->framesWaitForJobs());  // normal play keeps its loading screen
    }
    app->setFramesWaitForJobs(true);
    QV::JobManager* jobs = QV::Singleton<QV::JobManager>::instance();
    jobs->addJob(new QV::Function<RecordingApplication>(&slowJob))->start();
    int started = 0;
    app->duringUpdate = [&] {
        if (started++ == 0) jobs->addJob(new QV::Function<RecordingApplication>(&slowJob))->start();
    };

    app->updateFrame();
    EXPECT_EQ(jobs->jobCount(), 0u);  // both ended and reaped before the frame is drawn
    app->renderFrame();
    app->updateFrame();
    EXPECT_EQ(app->calls, (std::vector<std::string>{"update", "render", "update"}));
    EXPECT_EQ(started, 2);
}

TEST_F(ApplicationFrame, ActivationPostsOnlyOnChange) {
    app = new RecordingApplication();
    RecordingListener listener;
    auto* dispatcher = QV::Singleton<QV::EngineNotificationDispatcher>::instance();
    dispatcher->addListener(&listener);

    app->onActivate();    // already active: nothing posted
    app->onDeactivate();  // 3
    app->onDeactivate();  // already inactive
    app->onActivate();    // 2
    EXPECT_EQ(listener.codes, (std::vector<int>{3, 2}));
    EXPECT_TRUE(app->isActive());

    dispatcher->addListener(&listener);  // twice: told twice
    listener.codes.clear();
    app->onDeactivate();
    EXPECT_EQ(listener.codes, (std::vector<int>{3, 3}));
    dispatcher->removeListener(&listener);
    dispatcher->removeListener(&listener);
    app->onActivate();
}

// The OpenAL listener itself, read back after each activation change.
TEST_F(ApplicationFrame, ListenerGainFollowsActivation) {
    app = new RecordingApplication();
    QV::SoundManager* sound = QV::Singleton<QV::SoundManager>::instance();
    ASSERT_TRUE(sound->hasDevice());
    auto gain = [sound] { return sound->device().listenerGain(); };
    EXPECT_FLOAT_EQ(gain(), 1.0f);

    app->onDeactivate();
    EXPECT_FLOAT_EQ(gain(), 0.0f);
    sound->update();  // a sound frame keeps the inactive gain
    EXPECT_FLOAT_EQ(gain(), 0.0f);

    // A call that changes no flag still sets the gain again.
    sound->device().setListenerGain(0.5f);
    app->onDeactivate();
    EXPECT_FLOAT_EQ(gain(), 0.0f);
    app->onActivate();
    EXPECT_FLOAT_EQ(gain(), 1.0f);
    sound->device().setListenerGain(0.5f);
    app->onActivate();
    EXPECT_FLOAT_EQ(gain(), 1.0f);
}

TEST_F(ApplicationFrame, ShutDownDestroysGameAndClearsSingletons) {
    app = new RecordingApplication();
    app->shutDown();
    EXPECT_EQ(app->calls, (std::vector<std::string>{"destroy"}));
    EXPECT_FALSE(app->isRunning());
    EXPECT_EQ(QV::Singleton<QV::LogSystem>::instancePointer(), nullptr);
    EXPECT_EQ(QV::Singleton<QV::EngineNotificationDispatcher>::instancePointer(), nullptr);
    delete app;
    app = nullptr;
}

TEST(ApplicationLoadingScreen, FrameRateFigure) {
    struct Case {
        float delta;
        float expected;
    } cases[] = {{0.1f, 10.0f}, {0.5f, 10.0f}, {0.05f, 20.0f}, {1.0f / 60.0f, 60.0f}};
    for (const Case& c : cases) EXPECT_FLOAT_EQ(Application::loadingFrameRate(c.delta), c.expected) << c.delta;
}

TEST(SingletonDeathTest, MissingSingletonNamesTheType) {
    EXPECT_EXIT(QV::Singleton<QV::LogSystem>::instance(), testing::ExitedWithCode(255),
                "Singleton not initialized: class QV::LogSystem");
}

}  // namespace
