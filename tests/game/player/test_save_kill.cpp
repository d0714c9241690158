#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <thread>

#include "game/player/save_test_util.h"
#include "player/game_properties.h"
#include "player/progress_saver.h"
#include "player/store.h"
#include "support/temp_dir.h"

namespace {

// A folder on memory where the system has one: a kill tests the rename, not the disk.
std::string memoryBackedTmp(std::unique_ptr<qvtest::TempDir>& dir) {
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string savedTmp = oldTmp ? oldTmp : "";
    if (access("/dev/shm", W_OK) == 0) setenv("TMPDIR", "/dev/shm", 1);
    dir = std::make_unique<qvtest::TempDir>();
    if (oldTmp) {
        setenv("TMPDIR", savedTmp.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    const std::string folder = dir->file("data");
    std::filesystem::create_directories(folder);
    return folder;
}

// Runs child(readyFd) in a forked process, kills it at a random moment after
// its first byte on the pipe, and returns once it is gone.
void killAtRandom(const std::function<void(int)>& child, std::mt19937& random, int round) {
    std::uniform_int_distribution<int> delayMicros(0, 3000);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(fds[0]);
        child(fds[1]);
        _exit(3);
    }
    close(fds[1]);
    pollfd ready{fds[0], POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 20000), 1) << "round " << round;
    char byte = 0;
    ASSERT_EQ(read(fds[0], &byte, 1), 1) << "round " << round;
    close(fds[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
    kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << " status " << status;
}

// Saves the profile in a loop until killed: silver counts up from the stored
// value and gold is always three times silver, so a whole save can be told
// from a torn one. One byte on the pipe after the first save.
[[noreturn]] void saveInALoop(const std::string& folder, int readyFd) {
    GameProperties properties(folder);
    PlayerProfile* profile = properties.profile();
    for (int value = profile->mSilver + 1;; ++value) {
        profile->mSilver = value;
        profile->mGold = value * 3;
        profile->mStarGrants.push_back(StarGrant{1, static_cast<uint64_t>(value)});
        if (profile->mStarGrants.size() > 64) profile->mStarGrants.erase(profile->mStarGrants.begin());
        if (!properties.saveProfile()) _exit(1);
        if (readyFd >= 0) {
            const char ready = 1;
            if (write(readyFd, &ready, 1) != 1) _exit(2);
            close(readyFd);
            readyFd = -1;
        }
    }
}

// A child saving the profile in a loop is killed at 200 moments; each time the
// profile loads with the values of one whole save, never a fresh profile.
TEST(SaveKill, ProfileSurvivesSigkillAtAnyMoment) {
    // A kill tests the rename, not the disk: a memory-backed folder keeps the
    // syncs cheap where the system has one.
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string savedTmp = oldTmp ? oldTmp : "";
    if (access("/dev/shm", W_OK) == 0) setenv("TMPDIR", "/dev/shm", 1);
    qvtest::TempDir dir;
    if (oldTmp) {
        setenv("TMPDIR", savedTmp.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    const std::string folder = dir.file("data");
    std::filesystem::create_directories(folder);
    {
        GameProperties properties(folder);
        properties.profile()->mSilver = 0;
        properties.profile()->mGold = 0;
        ASSERT_TRUE(properties.saveProfile());
    }
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayMicros(0, 3000);
    int previous = 0;
    for (int round = 0; round < 200; ++round) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(fds[0]);
            saveInALoop(folder, fds[1]);
        }
        close(fds[1]);
        // Killed only once it has finished a save of its own, then anywhere in the loop.
        pollfd ready{fds[0], POLLIN, 0};
        ASSERT_EQ(poll(&ready, 1, 20000), 1) << "round " << round;
        char byte = 0;
        ASSERT_EQ(read(fds[0], &byte, 1), 1) << "round " << round;
        close(fds[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << " status " << status;

        PlayerProfile stored;
        ASSERT_TRUE(savetest::storedProfile(folder, stored)) << "round " << round;
        // At least the child's first save, and one whole save.
        ASSERT_GT(stored.mSilver, previous) << "round " << round;
        ASSERT_EQ(stored.mGold, stored.mSilver * 3) << "round " << round;
        previous = stored.mSilver;
    }
    // The game's own load agrees, and nothing was refused on the way.
    GameProperties properties(folder);
    EXPECT_EQ(properties.profile()->mSilver, previous);
    EXPECT_FALSE(std::filesystem::exists(folder + "/profile_0.dat.bad"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/last_profile.dat.bad"));
}

// A child buys stars in a loop until killed; whenever it dies, every unit of
// silver that left the purse came back as a star on disk: payment and goods
// are saved together, never one without the other.
TEST(SaveKill, APurchaseIsPaidAndGrantedInOneSave) {
    std::unique_ptr<qvtest::TempDir> dir;
    const std::string folder = memoryBackedTmp(dir);
    constexpr int kStart = 1000000, kPrice = 75;
    {
        GameProperties properties(folder);
        properties.profile()->mSilver = kStart;
        ASSERT_TRUE(properties.saveProfile());
    }
    StoreItem star;
    star.goods = kGoodsStars;
    star.amount = 1;
    star.price = float(kPrice);
    star.currency = kCurrencySilver;
    auto buyInALoop = [&](int readyFd) {
        GameProperties properties(folder);
        ProgressSaver saver;
        Store store;
        for (;;) {
            if (!store.buy(star)) _exit(1);
            if (readyFd >= 0) {
                const char ready = 1;
                if (write(readyFd, &ready, 1) != 1) _exit(2);
                close(readyFd);
                readyFd = -1;
            }
        }
    };
    std::mt19937 random(2024);
    int previousStars = 0;
    for (int round = 0; round < 120; ++round) {
        killAtRandom(buyInALoop, random, round);
        if (HasFatalFailure()) return;
        PlayerProfile stored;
        ASSERT_TRUE(savetest::storedProfile(folder, stored)) << "round " << round;
        ASSERT_EQ(stored.mSilver + kPrice * stored.getStars(), kStart)
            << "round " << round << ": silver " << stored.mSilver << ", stars " << stored.getStars();
        ASSERT_GT(stored.getStars(), previousStars) << "round " << round;
        previousStars = stored.getStars();
    }
}

}  // namespace
