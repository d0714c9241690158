#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "player/game_properties.h"
#include "image.h"
#include "player/platform_config.h"
#include "image_png.h"
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

// A run folder with the content and an empty data folder of its own.
void prepareRun(const qvtest::TempDir& dir) {
    std::filesystem::create_directories(dir.file("media"));
    std::filesystem::create_directories(dir.file("data"));
    if (std::filesystem::exists(QV_SOURCE_DIR "/media"))
        std::filesystem::copy(QV_SOURCE_DIR "/media", dir.file("media"), std::filesystem::copy_options::recursive);
}

std::map<std::string, std::string> runEnvironment(const qvtest::TempDir& dir,
                                                  std::map<std::string, std::string> extra = {}) {
    // Under the test command's X server the window is a real one; elsewhere offscreen.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    std::map<std::string, std::string> env = {{"SDL_VIDEODRIVER", driver && *driver ? driver : "offscreen"},
                                              {"ALSOFT_DRIVERS", "null"},
                                              {"QV_NO_MESSAGE_BOX", "1"},
                                              {"XDG_DATA_HOME", dir.file("data")}};
    for (auto& [key, value] : extra) env[key] = value;
    return env;
}

// What save_dump prints for a file.
std::string saveDump(const std::string& file) {
    std::string out;
    FILE* pipe = popen((std::string(QV_BINARY_DIR "/save_dump ") + file + " 2>&1").c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
    return out;
}

bool hasLine(const std::string& text, const std::string& line) {
    for (const std::string& l : lines(text))
        if (l == line) return true;
    return false;
}

// A saved profile that asks for a window, so pictures have the same size on every display.
void saveWindowedProfile(const qvtest::TempDir& dir) {
    std::filesystem::create_directories(dir.file("data/Varnel/Glimvale"));
    PlatformConfig config(1, {});
    GameProperties properties(dir.file("data/Varnel/Glimvale/"));
    properties.profile()->mFullScreen = 0;
    ASSERT_TRUE(properties.saveProfile());
}

size_t countOf(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

// The "Cpus_allowed_list" of a /proc status file.
std::string processorsOf(const std::string& statusFile) {
    for (const std::string& line : lines(qvtest::readFile(statusFile)))
        if (line.rfind("Cpus_allowed_list:", 0) == 0) return line.substr(line.find_first_not_of(" \t", 18));
    return std::string();
}

TEST(GlimvaleRun, StartsHeadlessLogsInOrderAndEndsOnSigterm) {
    qvtest::TempDir dir;
    prepareRun(dir);

    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    // Up to the game's own start, so the signal meets the main loop.
    ASSERT_TRUE(qvtest::waitForFileText(dir.file("QV.log"), "void GameApplication::create()", game))
        << qvtest::readFile(dir.file("QV.log")) << game.stderrText();
    // With the engine up, every thread still may run on every processor it was
    // started with: one pinned to a processor another program keeps busy starves.
    const std::string given = processorsOf("/proc/self/status");
    ASSERT_FALSE(given.empty());
    int threads = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(game.pid()) + "/task")) {
        EXPECT_EQ(processorsOf(task.path().string() + "/status"), given) << "thread " << task.path().filename();
        ++threads;
    }
    EXPECT_GT(threads, 1);  // the main thread and the engine's
    game.signal(SIGTERM);
    ASSERT_TRUE(game.wait());
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

// Started from a folder without content, the game finds it beside itself or,
// for a build, in the source tree it was built from; the log names the folder.
TEST(GlimvaleRun, FindsItsContentFromAnyFolder) {
    qvtest::TempDir dir;
    std::filesystem::create_directories(dir.file("elsewhere"));
    std::filesystem::create_directories(dir.file("data"));
    qvtest::writeFile(dir.file("input.txt"), "3 close\n");
    // A copy of the game with the content beside it, as a player might unpack it.
    std::filesystem::create_directories(dir.file("game/media"));
    std::filesystem::copy_file(qvtest::glimvaleProgram(), dir.file("game/glimvale"));
    std::filesystem::copy(QV_SOURCE_DIR "/media", dir.file("game/media"), std::filesystem::copy_options::recursive);
    const struct {
        std::string program;
        std::string content;
    } cases[] = {
        {qvtest::glimvaleProgram(), QV_SOURCE_DIR "/media/"},
        {dir.file("game/glimvale"), dir.file("game/media/")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        std::filesystem::remove(dir.file("elsewhere/QV.log"));
        qvtest::ChildProcess game(c.program, {}, dir.file("elsewhere"),
                                  runEnvironment(dir, {{"QV_INPUT_SCRIPT", dir.file("input.txt")}}));
        ASSERT_TRUE(game.wait());
        const std::string log = qvtest::readFile(dir.file("elsewhere/QV.log"));
        EXPECT_EQ(game.exitCode(), 0) << log << game.stderrText();
        EXPECT_NE(log.find(": Content folder: " + c.content + "\n"), std::string::npos) << log;
        EXPECT_NE(log.find("void GameApplication::create()"), std::string::npos) << log;
        EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
    }
}

// Loose content without "data.qvp" and no sound device (ALSA with a
// configuration that names none): the log has one error line, the device's, and
// standard error none of the sound libraries' probing, unless the user asked
// for OpenAL's own log level.
TEST(GlimvaleRun, NoSoundDeviceIsOneLogLineAndNoLibraryChatter) {
    qvtest::TempDir dir;
    prepareRun(dir);
    ASSERT_FALSE(std::filesystem::exists(dir.file("media/data.qvp")));
    qvtest::writeFile(dir.file("input.txt"), "3 close\n");
    qvtest::writeFile(dir.file("asound.conf"), "");
    for (const char* userLevel : {"", "2"}) {
        SCOPED_TRACE(std::string("ALSOFT_LOGLEVEL=") + userLevel);
        std::map<std::string, std::string> extra = {{"QV_INPUT_SCRIPT", dir.file("input.txt")},
                                                    {"ALSOFT_DRIVERS", "alsa"},
                                                    {"ALSA_CONFIG_PATH", dir.file("asound.conf")}};
        if (*userLevel) extra["ALSOFT_LOGLEVEL"] = userLevel;
        qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir, extra));
        ASSERT_TRUE(game.wait());
        const std::string log = qvtest::readFile(dir.file("QV.log"));
        const std::string err = game.stderrText();
        EXPECT_EQ(game.exitCode(), 0) << log << err;
        EXPECT_EQ(countOf(log, "ERROR"), 1u) << log;
        EXPECT_EQ(countOf(log, ": ERROR: Failed to create AL Device\n"), 1u) << log;
        EXPECT_EQ(log.find("OpenAL Error"), std::string::npos) << log;
        if (*userLevel) {
            EXPECT_NE(err.find("AL lib: (EE)"), std::string::npos) << err;
        } else {
            EXPECT_EQ(err.find("AL lib"), std::string::npos) << err;
            EXPECT_EQ(err.find("ALSA lib"), std::string::npos) << err;
        }
    }
}

// A whole session driven by a script: the logos, the menu's state, the close button.
TEST(GlimvaleRun, ScriptedSessionShowsTheLogosThenTheMenuAndClosesInOrder) {
    qvtest::TempDir dir;
    prepareRun(dir);
    qvtest::writeFile(dir.file("input.txt"),
                      "# a click skips each logo, then the menu loads on its job\n"
                      "30 click 640 360\n"
                      "60 click 640 360\n"
                      "150 command setState:NoSuchState\n"
                      "160 command noSuchCommand\n"
                      "170 button btnNowhere\n"
                      "200 close\n");
    const auto env = runEnvironment(dir, {{"QV_INPUT_SCRIPT", dir.file("input.txt")},
                                          {"QV_FIXED_DT", "0.02"},
                                          {"QV_PERF_COUNTER", "7"}});
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), env);
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_TRUE(game.exited());
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();

    // A fresh profile, counted once and saved at the exit.
    const std::string profile = dir.file("data/Varnel/Glimvale/profile_0.dat");
    std::string dump = saveDump(profile);
    for (const char* line : {"checksum_ok = 1", "platform_code = 1", "profile.launch_counter = 1",
                             "profile.silver = 350", "profile.gold = 20", "profile.full_screen = 1",
                             "profile.custom_cursor = 1"})
        EXPECT_TRUE(hasLine(dump, line)) << line << "\n" << dump;
    EXPECT_TRUE(std::filesystem::exists(dir.file("data/Varnel/Glimvale/last_profile.dat")));

    const std::vector<std::string> log = lines(qvtest::readFile(dir.file("QV.log")));
    const std::vector<std::string> expected = {
        "Init EngineAllocators ...",
        "Application started",
        "resetWindow, window",
        "void GameApplication::create()",
        "void LogoGameState::onDeactivate()",
        "void LogoGameState::unload()",
        "MainMenu::load",
        "void MainMenu::initializeAsync() -begin",
        "void MainMenu::initialize() -end",
        "ERROR: No command for 'noSuchCommand'",
        "ERROR: No shown widget 'btnNowhere' to click",
        "void GameApplication::destroy()",
        "GameStateManager::~GameStateManager()",
    };
    size_t at = 0;
    for (const std::string& message : expected) {
        const int found = findLine(log, message, at, false);
        ASSERT_GE(found, 0) << "QV.log lacks, in order: " << message << "\n" << qvtest::readFile(dir.file("QV.log"));
        at = static_cast<size_t>(found) + 1;
    }
    const std::string text = qvtest::readFile(dir.file("QV.log"));
    EXPECT_NE(text.find("MemoryManager: Memory Leaks not found"), std::string::npos);
    EXPECT_EQ(text.find("Assert occured"), std::string::npos);

    // The second start counts on from the saved profile.
    qvtest::ChildProcess again(qvtest::glimvaleProgram(), {}, dir.path(), env);
    ASSERT_TRUE(again.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(again.exitCode(), 0) << again.stderrText();
    dump = saveDump(profile);
    EXPECT_TRUE(hasLine(dump, "profile.launch_counter = 2")) << dump;
}

// A second copy hands over to the first and leaves its log and saves alone.
TEST(GlimvaleRun, ASecondCopyRaisesTheFirstAndExits) {
    qvtest::TempDir dir;
    prepareRun(dir);
    qvtest::ChildProcess first(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(qvtest::waitForFileText(dir.file("QV.log"), "void GameApplication::create()", first))
        << qvtest::readFile(dir.file("QV.log")) << first.stderrText();
    const auto dataBefore = std::filesystem::directory_iterator(dir.file("data/Varnel/Glimvale"));
    std::vector<std::string> filesBefore;
    for (const auto& entry : dataBefore) filesBefore.push_back(entry.path().filename().string());

    qvtest::TempDir elsewhere;  // its own output files; it needs no content
    // It leaves before the engine starts: no log of its own (no timing, which a loaded machine would break).
    qvtest::ChildProcess second(qvtest::glimvaleProgram(), {}, elsewhere.path(), runEnvironment(dir));
    ASSERT_TRUE(second.wait()) << second.stderrText();
    EXPECT_TRUE(second.exited());
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(std::filesystem::exists(elsewhere.file("QV.log")));

    EXPECT_TRUE(qvtest::waitForFileText(dir.file("QV.log"), "Another copy asked to raise the window", first))
        << qvtest::readFile(dir.file("QV.log"));
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(countOf(log, "Application started"), 1u);
    EXPECT_NE(log.find("Init EngineAllocators ..."), std::string::npos);  // the first copy's log, not emptied
    std::vector<std::string> filesAfter;
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("data/Varnel/Glimvale")))
        filesAfter.push_back(entry.path().filename().string());
    std::sort(filesBefore.begin(), filesBefore.end());
    std::sort(filesAfter.begin(), filesAfter.end());
    EXPECT_EQ(filesAfter, filesBefore);

    ASSERT_TRUE(first.running());
    first.signal(SIGTERM);
    ASSERT_TRUE(first.wait());
    EXPECT_EQ(first.exitCode(), 0) << first.stderrText();
}

std::vector<uint8_t> readPng(const std::string& path, uint32_t* width, uint32_t* height) {
    const std::string bytes = qvtest::readFile(path);
    QV::MemoryImageSource source(bytes.data(), bytes.size());
    QV::PngImage image;
    std::string error;
    if (bytes.empty() || !image.decode(source, &error)) return {};
    *width = image.width();
    *height = image.height();
    return std::vector<uint8_t>(image.pixels(), image.pixels() + size_t(image.width()) * image.height() * 4);
}

// The studio logo half faded in, as the script's screenshot saw it.
TEST(GlimvaleScreenshot, LogoMidFade) {
    qvtest::TempDir dir;
    prepareRun(dir);
    // 25 frames of 0.02 s: the first logo at half a second, half faded in.
    qvtest::writeFile(dir.file("input.txt"), "25 screenshot logo.png\n30 close\n");
    // The same window on every display: the offscreen one and the test command's X server differ.
    qvtest::writeFile(dir.file("resolution.txt"), "1280\n720\n");
    saveWindowedProfile(dir);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(),
                              runEnvironment(dir, {{"QV_INPUT_SCRIPT", dir.file("input.txt")}, {"QV_FIXED_DT", "0.02"}}));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << game.stderrText();
    uint32_t width = 0, height = 0;
    const std::vector<uint8_t> got = readPng(dir.file("logo.png"), &width, &height);
    ASSERT_FALSE(got.empty()) << qvtest::readFile(dir.file("QV.log"));

    const std::string expectedPath = std::string(QV_SOURCE_DIR) + "/tests/game/expected/logo_mid_fade.png";
    if (std::getenv("QV_UPDATE_EXPECTED")) {
        std::filesystem::create_directories(std::filesystem::path(expectedPath).parent_path());
        std::filesystem::copy_file(dir.file("logo.png"), expectedPath, std::filesystem::copy_options::overwrite_existing);
        GTEST_SKIP() << "wrote " << expectedPath;
    }
    uint32_t ew = 0, eh = 0;
    const std::vector<uint8_t> expected = readPng(expectedPath, &ew, &eh);
    ASSERT_FALSE(expected.empty()) << "missing " << expectedPath << " (QV_UPDATE_EXPECTED=1 writes it)";
    ASSERT_EQ(ew, width);
    ASSERT_EQ(eh, height);
    // Rasterisers differ a little on edges: a small per-channel tolerance.
    int off = 0;
    for (size_t i = 0; i + 3 < got.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(int(got[i + c]) - int(expected[i + c])) > 12) {
                ++off;
                break;
            }
        }
    }
    const std::string actualPath = std::string(QV_BINARY_DIR) + "/logo_mid_fade_actual.png";
    if (off > int(width * height) / 200) std::filesystem::copy_file(dir.file("logo.png"), actualPath,
                                                                     std::filesystem::copy_options::overwrite_existing);
    EXPECT_LE(off, int(width * height) / 200) << off << " pixels differ; picture in " << actualPath;
}

}  // namespace
