// The player's files as the real game treats them: each case runs `glimvale`
// with a script and a data folder of its own, then reads what it saved with
// `save_dump`.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "animationeditor/vector_stream.h"
#include "game/player/save_test_util.h"
#include "player/main_mode_section.h"
#include "player/player_profile.h"
#include "player/profile_sections.h"
#include "player/save_file.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// The platform code of the shipped configuration.
constexpr int kPlatformCode = 1;

struct GameRun {
    qvtest::TempDir dir;
    std::string data() const { return dir.file("data/Varnel/Glimvale/"); }
    std::string file(const std::string& name) const { return data() + name; }
    std::string log() const { return qvtest::readFile(dir.file("QV.log")); }
};

// The content, a data folder and a script that closes the game once it is up.
std::unique_ptr<GameRun> prepareRun() {
    auto run = std::make_unique<GameRun>();
    fs::create_directories(run->dir.file("media"));
    fs::copy(QV_SOURCE_DIR "/media", run->dir.file("media"), fs::copy_options::recursive);
    fs::create_directories(run->data());
    qvtest::writeFile(run->dir.file("resolution.txt"), "1280\n720\n");
    qvtest::writeFile(run->dir.file("input.txt"), "60 close\n");
    return run;
}

std::map<std::string, std::string> runEnvironment(const GameRun& run, const std::string& dataHome = std::string()) {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return {{"SDL_VIDEODRIVER", driver && *driver ? driver : "offscreen"},
            {"ALSOFT_DRIVERS", "null"},
            {"QV_NO_MESSAGE_BOX", "1"},
            {"XDG_DATA_HOME", dataHome.empty() ? run.dir.file("data") : dataHome},
            {"QV_INPUT_SCRIPT", run.dir.file("input.txt")},
            {"QV_FIXED_DT", "0.02"},
            {"QV_PERF_COUNTER", "7"}};
}

// A profile file of a windowed profile with progress worth keeping.
// cutMainMode drops that many bytes from the end of the main-mode section (a damaged one).
std::vector<uint8_t> valuableProfileFile(const MainModeProgress* mainMode = nullptr, size_t cutMainMode = 0) {
    PlayerProfile profile;
    profile.mFullScreen = 0;
    profile.mSilver = 123456;
    profile.mGold = 777;
    profile.mStarsBase = 42;
    profile.mLaunchCounter = 5;
    SectionMap sections;
    AE::VectorStream profileStream(&sections["profile"]);
    profile.write(profileStream);
    if (mainMode) {
        AE::VectorStream modeStream(&sections["MainMode"]);
        writeMainModeSection(modeStream, *mainMode);
        std::vector<uint8_t>& mode = sections["MainMode"];
        mode.resize(mode.size() - std::min(cutMainMode, mode.size()));
    }
    const std::vector<uint8_t> payload = writeSectionTable(sections);
    return buildSaveFileBytes(payload.data(), int(payload.size()), kPlatformCode);
}

void writePointer(const GameRun& run, uint64_t id) {
    ASSERT_EQ(writeSaveFileAt(run.file("last_profile.dat"), &id, 8, kPlatformCode), 0);
}

// Runs the game to the end of its script in every folder at once.
void runAll(const std::vector<GameRun*>& runs) {
    std::vector<std::unique_ptr<qvtest::ChildProcess>> games;
    for (GameRun* run : runs)
        games.push_back(std::make_unique<qvtest::ChildProcess>(qvtest::glimvaleProgram(), std::vector<std::string>{},
                                                               run->dir.path(), runEnvironment(*run)));
    for (size_t i = 0; i < games.size(); ++i) {
        ASSERT_TRUE(games[i]->wait()) << runs[i]->log();
        ASSERT_TRUE(games[i]->exited()) << games[i]->stderrText();
        ASSERT_EQ(games[i]->exitCode(), 0) << games[i]->stderrText() << runs[i]->log();
    }
}

std::string saveDump(const std::string& file, int* status = nullptr) {
    std::string out;
    const std::string command = std::string(QV_BINARY_DIR "/save_dump --episodes ") + QV_SOURCE_DIR +
                                "/media/main_mode.lua '" + file + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) out.append(buffer, n);
    const int rc = pclose(pipe);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

bool hasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

void expectLines(const std::string& dump, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) EXPECT_TRUE(hasLine(dump, line)) << line << " in\n" << dump;
}

// The log lines that hold the text.
std::vector<std::string> linesWith(const std::string& log, const std::string& text) {
    std::vector<std::string> found;
    size_t at = 0;
    while (at < log.size()) {
        size_t end = log.find('\n', at);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(at, end - at);
        if (line.find(text) != std::string::npos) found.push_back(line);
        at = end + 1;
    }
    return found;
}

bool isFifo(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// Whatever is wrong with "last_profile.dat", the intact profile beside it is
// the one the game loads and goes on saving: nothing of it is lost.
TEST(PlayerDataRun, AnUnusablePointerFileLoadsTheProfileFileThatIsThere) {
    struct Case {
        const char* what;
        std::function<void(const GameRun&)> spoil;
        const char* logged;  // a text of the log line that says what happened
        bool keptAside;      // the pointer's bytes are kept as "last_profile.dat.bad"
    };
    const std::vector<Case> cases = {
        {"missing", [](const GameRun&) {}, "No usable 'last_profile.dat' (missing); loading '", false},
        {"checksum mismatch",
         [](const GameRun& run) {
             std::vector<uint8_t> bytes = savetest::fileBytes(run.file("last_profile.dat"));
             bytes[0] ^= 1;
             savetest::putFile(run.file("last_profile.dat"), bytes);
         },
         "(checksum mismatch); kept as '", true},
        {"cut short", [](const GameRun& run) { qvtest::writeFile(run.file("last_profile.dat"), "\x01\x02"); },
         "(too short); kept as '", true},
        {"a folder in its place",
         [](const GameRun& run) {
             fs::remove(run.file("last_profile.dat"));
             fs::create_directory(run.file("last_profile.dat"));
         },
         "(read error); kept as '", true},
        {"names a profile that is not there", [](const GameRun& run) { writePointer(run, 7); },
         "names the profile file '", false},
    };
    std::vector<std::unique_ptr<GameRun>> runs;
    for (const Case& c : cases) {
        runs.push_back(prepareRun());
        GameRun& run = *runs.back();
        savetest::putFile(run.file("profile_0.dat"), valuableProfileFile());
        if (std::string(c.what) != "missing") writePointer(run, 0);
        c.spoil(run);
    }
    std::vector<GameRun*> all;
    for (auto& run : runs) all.push_back(run.get());
    runAll(all);

    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        const GameRun& run = *runs[i];
        const std::string log = run.log();
        EXPECT_EQ(linesWith(log, cases[i].logged).size(), 1u) << log;
        EXPECT_EQ(linesWith(log, "loading '" + run.file("profile_0.dat") + "'").size(), 1u) << log;
        EXPECT_EQ(fs::exists(run.file("last_profile.dat.bad")), cases[i].keptAside);
        // Loaded, counted and saved on: the progress is all there.
        expectLines(saveDump(run.file("profile_0.dat")),
                    {"checksum_ok = 1", "profile.silver = 123456", "profile.gold = 777", "profile.stars_base = 42",
                     "profile.launch_counter = 6"});
        EXPECT_FALSE(fs::exists(run.file("profile_0.dat.bad")));
        // The pointer is whole again.
        expectLines(saveDump(run.file("last_profile.dat")), {"status = ok", "last_profile.profile_id = 0"});
    }
}

// A FIFO in the profile's place neither holds the start up nor replaces the
// file kept aside before it: both are kept, numbered.
TEST(PlayerDataRun, AFifoProfileIsKeptAsideBesideAnEarlierKeptFile) {
    auto run = prepareRun();
    const std::vector<uint8_t> earlier = valuableProfileFile();
    savetest::putFile(run->file("profile_0.dat.bad"), earlier);
    ASSERT_EQ(mkfifo(run->file("profile_0.dat").c_str(), 0600), 0);
    writePointer(*run, 0);
    runAll({run.get()});

    const std::string log = run->log();
    EXPECT_EQ(linesWith(log, "ERROR: Save file '" + run->file("profile_0.dat") + "' refused (read error); kept as '" +
                                 run->file("profile_0.dat.bad.1") + "'")
                  .size(),
              1u)
        << log;
    EXPECT_EQ(savetest::fileBytes(run->file("profile_0.dat.bad")), earlier);
    EXPECT_TRUE(isFifo(run->file("profile_0.dat.bad.1")));
    expectLines(saveDump(run->file("profile_0.dat")), {"status = ok", "profile.silver = 350", "profile.launch_counter = 1"});
}

// A save that cannot be made says so once, with the path and the reason; the
// old file stays, and once the cause is gone the next save goes through.
TEST(PlayerDataRun, AFailedSaveIsLoggedAndTheNextSaveTriesAgain) {
    auto run = prepareRun();
    const std::vector<uint8_t> before = valuableProfileFile();
    savetest::putFile(run->file("profile_0.dat"), before);
    writePointer(*run, 0);
    fs::create_directory(run->file("profile_0.dat.tmp"));
    runAll({run.get()});

    const std::string log = run->log();
    const std::vector<std::string> errors = linesWith(log, "ERROR: Save file");
    ASSERT_EQ(errors.size(), 1u) << log;
    EXPECT_NE(errors[0].find("ERROR: Save file '" + run->file("profile_0.dat") + "' not written: cannot create '" +
                             run->file("profile_0.dat.tmp") + "': Is a directory"),
              std::string::npos)
        << errors[0];
    EXPECT_EQ(savetest::fileBytes(run->file("profile_0.dat")), before);

    fs::remove(run->file("profile_0.dat.tmp"));
    runAll({run.get()});
    EXPECT_TRUE(linesWith(run->log(), "ERROR: Save file").empty()) << run->log();
    // The first run's count was never saved; this one's is.
    expectLines(saveDump(run->file("profile_0.dat")), {"profile.silver = 123456", "profile.launch_counter = 6"});
}

// A main-mode section written before levels were added keeps its progress; a
// damaged one starts the level progress afresh, and the file as it was is kept aside first.
TEST(PlayerDataRun, AMainModeSectionKeepsItsProgressAcrossNewLevelsAndADamagedOneIsKeptAside) {
    MainModeProgress old;
    old.hasProgress = true;
    old.episodes.resize(1);
    old.episodes[0].parts = {{false, {{true, 900}, {true, 800}}}};
    auto grown = prepareRun();
    savetest::putFile(grown->file("profile_0.dat"), valuableProfileFile(&old));
    writePointer(*grown, 0);
    auto damaged = prepareRun();
    const std::vector<uint8_t> before = valuableProfileFile(&old, 3);
    savetest::putFile(damaged->file("profile_0.dat"), before);
    writePointer(*damaged, 0);
    runAll({grown.get(), damaged.get()});

    EXPECT_TRUE(linesWith(grown->log(), "WARNING: The MainMode section").empty()) << grown->log();
    EXPECT_FALSE(fs::exists(grown->file("profile_0.dat.bad")));
    expectLines(saveDump(grown->file("profile_0.dat")),
                {"MainMode.read_ok = 1", "MainMode.episode.0.part.0.level.0.completed = 1",
                 "MainMode.episode.0.part.0.level.0.best_score = 900", "MainMode.episode.0.part.0.level.1.best_score = 800",
                 "MainMode.episode.0.part.0.level.2.completed = 0", "profile.silver = 123456"});

    const std::string log = damaged->log();
    EXPECT_EQ(linesWith(log, "WARNING: The MainMode section").size(), 1u) << log;
    EXPECT_EQ(linesWith(log, "a copy of the file as it was is kept as '" + damaged->file("profile_0.dat.bad") + "'").size(),
              1u)
        << log;
    EXPECT_EQ(savetest::fileBytes(damaged->file("profile_0.dat.bad")), before);
    expectLines(saveDump(damaged->file("profile_0.dat")),
                {"MainMode.read_ok = 1", "MainMode.episode.0.part.0.level.0.completed = 0", "profile.silver = 123456",
                 "profile.launch_counter = 6"});
    // A start with fitting data copies nothing more.
    runAll({damaged.get()});
    EXPECT_FALSE(fs::exists(damaged->file("profile_0.dat.bad.1")));
    expectLines(saveDump(damaged->file("profile_0.dat")), {"profile.launch_counter = 7"});
}

// On an account whose data folder does not exist yet the whole path is made
// and locked: a second copy on the same folder hands over and leaves.
TEST(PlayerDataRun, AMissingDataHomeIsMadeAndLocked) {
    auto run = prepareRun();
    const std::string dataHome = run->dir.file("fresh/share");
    // No script: this copy runs until it is asked to stop.
    std::map<std::string, std::string> env = runEnvironment(*run, dataHome);
    env.erase("QV_INPUT_SCRIPT");
    qvtest::ChildProcess first(qvtest::glimvaleProgram(), {}, run->dir.path(), env);
    ASSERT_TRUE(qvtest::waitForFileText(run->dir.file("QV.log"), "void GameApplication::create()", first))
        << run->log() << first.stderrText();
    EXPECT_TRUE(fs::exists(dataHome + "/Varnel/Glimvale/Brightfold.lock"));

    qvtest::TempDir elsewhere;
    qvtest::ChildProcess second(qvtest::glimvaleProgram(), {}, elsewhere.path(), env);
    ASSERT_TRUE(second.wait()) << second.stderrText();
    EXPECT_TRUE(second.exited());
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(fs::exists(elsewhere.file("QV.log")));

    ASSERT_TRUE(first.running());
    first.signal(SIGTERM);
    ASSERT_TRUE(first.wait());
    EXPECT_EQ(first.exitCode(), 0) << first.stderrText();
    expectLines(saveDump(dataHome + "/Varnel/Glimvale/profile_0.dat"), {"status = ok", "profile.launch_counter = 1"});
}

}  // namespace
