#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>

#include <chrono>
#include <cstdint>

#include "benchmarker.h"
#include "stopwatch.h"
#include "timer_manager.h"

namespace {

class FakeCounter : public QV::PerformanceCounter {
public:
    std::uint64_t counter() const override { return now; }
    std::uint64_t frequency() const override { return 1000; }
    std::uint64_t now = 5000;
};

TEST(TimerManager, FrameDeltaFromInjectedClock) {
    FakeCounter clock;
    clock.now = 100000;
    QV::TimerManager timers(&clock);
    EXPECT_EQ(timers.getFrameDelta(), 0.0f);

    struct Step {
        std::int64_t advance;  // counts of 1 ms
        float delta;
    } steps[] = {
        {16, 0.016f},   // first update measures from construction
        {250, 0.25f},   // a slow frame is not capped
        {0, 0.0f},
        {-40, 0.0f},    // a clock that runs backwards gives 0
        {33, 0.033f},   // measured from the backwards reading
        {5000, 5.0f},
    };
    for (const Step& s : steps) {
        clock.now += static_cast<std::uint64_t>(s.advance);
        timers.update();
        EXPECT_FLOAT_EQ(timers.getFrameDelta(), s.delta) << s.advance;
    }
}

// The real clock's delta lies within the time the test itself saw pass, however
// long a loaded machine keeps the thread waiting.
TEST(TimerManager, SystemClockDeltaIsWithinTheElapsedTime) {
    const auto before = std::chrono::steady_clock::now();
    QV::TimerManager timers;
    timers.update();
    const double seen = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
    EXPECT_GE(timers.getFrameDelta(), 0.0f);
    EXPECT_LE(timers.getFrameDelta(), seen + 0.001);
    EXPECT_EQ(QV::Singleton<QV::TimerManager>::instancePointer(), &timers);
}

// The creator keeps every processor it had: a thread pinned to one that another
// program keeps busy would starve.
TEST(TimerManager, LeavesItsCreatorsProcessorsAlone) {
    cpu_set_t before;
    CPU_ZERO(&before);
    ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof(before), &before), 0);
    {
        QV::TimerManager timers;
        cpu_set_t during;
        CPU_ZERO(&during);
        ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof(during), &during), 0);
        EXPECT_TRUE(CPU_EQUAL(&during, &before));
    }
    EXPECT_EQ(QV::Singleton<QV::TimerManager>::instancePointer(), nullptr);
}

TEST(WTimer, ElapsedAndReset) {
    FakeCounter clock;
    QV::WTimer timer(&clock);
    EXPECT_FLOAT_EQ(timer.getElapsed(), 0.0f);
    clock.now += 1500;
    EXPECT_FLOAT_EQ(timer.getElapsed(), 1.5f);
    timer.reset();
    clock.now += 20;
    EXPECT_FLOAT_EQ(timer.getElapsed(), 0.02f);
}

TEST(Benchmarker, StaysSilentWhileDisabled) {
    QV::Benchmarker bench;
    EXPECT_EQ(bench.isDisabled(), 1);
    bench.begin(3);
    bench.end(3);
    EXPECT_EQ(bench.usedRecords(), nullptr);
    EXPECT_EQ(bench.record(3)->accumulated, 0.0f);
    EXPECT_EQ(bench.record(100), nullptr);
    EXPECT_EQ(bench.record(-1), nullptr);

    bench.setDisabled(0);
    bench.begin(7);
    bench.end(7);
    bench.begin(1000);  // bad index ignored
    const QV::Benchmarker::Record* used = bench.usedRecords();
    if (bench.record(7)->accumulated > 0.0f) {
        ASSERT_EQ(used, bench.record(7));
        EXPECT_EQ(used->next, nullptr);
    }
}

}  // namespace
