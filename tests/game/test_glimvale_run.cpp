#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// The start-up lines, in order, each as "HH:MM:SS: " plus the message.
const std::vector<std::string> kStartUpLines = {
    "Init EngineAllocators ...",  "Init LexBindedFunctionManager...", "Init JobManager...",
    "Init TimerManager...",       "Init FileSystem...",               "Init TextManager...",
    "Init ConfigManager...",      "Init RenderSystem...",             "Init SoundManager...",
    "Init ParticleSystem...",     "Init InputManager...",             "Init SpriteManager...",
    "Init TextureManager...",     "Init UIManager...",                "Init UIFontManager...",
    "Init VideoSurfaceStreame...", "Init VideoPlayer...",             "Application started",
};

// Index of the first line at or after `from` whose message is `message`; -1 when none.
int findLine(const std::vector<std::string>& all, const std::string& message, size_t from, bool stdoutForm) {
    for (size_t i = from; i < all.size(); ++i) {
        const std::string& line = all[i];
        if (line.size() < 10 || line[2] != ':' || line[5] != ':' || line.compare(8, 2, ": ") != 0) continue;
        std::string rest = line.substr(10);
        if (stdoutForm) {
            if (rest == message + " ") return static_cast<int>(i);
        } else if (rest == message) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TEST(GlimvaleRun, StartsHeadlessLogsInOrderAndEndsOnSigterm) {
    qvtest::TempDir dir;
    std::filesystem::create_directories(dir.file("media"));
    if (std::filesystem::exists(QV_SOURCE_DIR "/media"))
        std::filesystem::copy(QV_SOURCE_DIR "/media", dir.file("media"), std::filesystem::copy_options::recursive);

    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(),
                              {{"SDL_VIDEODRIVER", "offscreen"}, {"ALSOFT_DRIVERS", "null"}, {"QV_NO_MESSAGE_BOX", "1"}});
    ASSERT_TRUE(qvtest::waitForFileText(dir.file("QV.log"), "Application started", 30.0))
        << qvtest::readFile(dir.file("QV.log")) << game.stderrText();
    // Let it run a few frames before asking it to stop.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(game.running()) << game.stderrText();
    game.signal(SIGTERM);
    ASSERT_TRUE(game.wait(30.0));
    EXPECT_TRUE(game.exited());
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();

    std::vector<std::string> fileLines = lines(qvtest::readFile(dir.file("QV.log")));
    std::vector<std::string> outLines = lines(game.stdoutText());
    size_t fileAt = 0, outAt = 0;
    for (const std::string& message : kStartUpLines) {
        int f = findLine(fileLines, message, fileAt, false);
        int o = findLine(outLines, message, outAt, true);
        ASSERT_GE(f, 0) << "QV.log lacks, in order: " << message;
        ASSERT_GE(o, 0) << "stdout lacks, in order: " << message;
        fileAt = static_cast<size_t>(f) + 1;
        outAt = static_cast<size_t>(o) + 1;
    }
    // The orderly exit appends the memory report after the shut-down.
    EXPECT_NE(qvtest::readFile(dir.file("QV.log")).find("MemoryManager: Memory Leaks not found"), std::string::npos);
}

}  // namespace
