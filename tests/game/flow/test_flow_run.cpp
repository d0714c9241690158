#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "animationeditor/vector_stream.h"
#include "player/game_properties.h"
#include "image.h"
#include "image_png.h"
#include "player/main_mode_section.h"
#include "player/platform_config.h"
#include "player/profile_sections.h"
#include "player/save_file.h"
#include "game/player/save_test_util.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "game/flow/game_run.h"

namespace {

using namespace gamerun;

// A run folder with the content, an empty data folder and a windowed 1280 x 720 profile.
void prepareRun(const qvtest::TempDir& dir, const std::string& script) {
    copyContent(dir);
    prepareFolders(dir, script);
    PlatformConfig config(1, {});
    GameProperties properties(dir.file("data/Varnel/Glimvale/"));
    properties.profile()->mFullScreen = 0;
    properties.saveProfile();
}

// Replaces the prepared profile with one whose first level is won (with that
// best score), and whose everyday bonus is taken until a day ahead (so no
// bonus window opens today) unless the bonus is due.
void writeProfileWithProgress(const qvtest::TempDir& dir, int32_t bestScore = 800, bool bonusDue = false) {
    PlayerProfile profile;
    profile.mFullScreen = 0;
    profile.mDayStamp = bonusDue ? 0 : (uint64_t(std::time(nullptr)) / 86400 + 2) * 86400;
    MainModeProgress progress;
    progress.hasProgress = true;
    progress.currentLevel = 1;
    progress.episodes.resize(1);
    progress.episodes[0].parts = {{false, {{true, bestScore}, {false, 0}, {false, 0}}}, {true, {{false, 0}, {false, 0}, {false, 0}, {false, 0}, {false, 0}, {false, 0}, {false, 0}}}};
    ASSERT_EQ(savetest::writeProfileFile(dir.file("data/Varnel/Glimvale/profile_0.dat"), profile, progress), 0);
}

// A profile with the given progress, stars base, gold and hearts (no everyday bonus today).
void writeProfile(const qvtest::TempDir& dir, const MainModeProgress& progress, int32_t starsBase, int32_t gold) {
    PlayerProfile profile;
    profile.mFullScreen = 0;
    profile.mDayStamp = (uint64_t(std::time(nullptr)) / 86400 + 2) * 86400;
    profile.mStarsBase = starsBase;
    profile.mGold = gold;
    ASSERT_EQ(savetest::writeProfileFile(dir.file("data/Varnel/Glimvale/profile_0.dat"), profile, progress), 0);
}

// What save_dump prints for the profile, with the shipped episode tree.
std::string saveDump(const qvtest::TempDir& dir) { return gamerun::saveDump(profileFile(dir)); }

// The level's scenes that are still being drawn: a level plays without them.
const char kLevelArtLines[] = "; the level plays without it";

TEST(FlowRun, EscapeOnTheMenuAsksAndAcceptingEndsWithStatusZeroAndSaves) {
    qvtest::TempDir dir;
    // The menu is up well before frame 400; "No" keeps it, the second question is accepted.
    prepareRun(dir, "400 key 27\n440 button btnReject\n480 button btnExit\n520 button btnAccept\n2000 close\n");
    const std::string profile = dir.file("data/Varnel/Glimvale/profile_0.dat");
    std::filesystem::remove(profile);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_NE(log.find("void MainMenu::initialize() -end"), std::string::npos);
    EXPECT_NE(log.find("MainMenu: exit accepted"), std::string::npos) << log;
    EXPECT_EQ(log.find("Screenshot"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(profile));  // saved on the way out
}

TEST(FlowScreenshot, MainMenuWithItsLakeAndVersion) {
    qvtest::TempDir dir;
    prepareRun(dir, "400 screenshot menu.png\n410 close\n");
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << game.stderrText();
    expectPicture(dir.file("menu.png"), "main_menu");
}

TEST(FlowRun, NewGamePlaysTheIntroThenTheMapPaysTheDailyBonusAndTheMenuEndsTheGameSaving) {
    qvtest::TempDir dir;
    // Play; clicks away from every button through the intro (the first is swallowed);
    // the daily bonus taken on the map; Escape opens the map menu, whose Main menu leaves; Exit and Yes.
    std::string script = playThroughTheIntro();
    script += "1000 button btnOk\n1100 key 27\n1160 button btnMainMenu\n1300 button btnExit\n1360 button btnAccept\n3000 close\n";
    prepareRun(dir, script);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    expectInOrder(log, {"void MovieState::initializeAsync() -begin", "void MainModeMapState::initializeAsync() -begin",
                        "void MainModeMapState::initializeAsync() -end", "MainModeMapState: everyday bonus of day 1",
                        "MainModeMapState: everyday bonus of day 1 paid", "MainMenu::load", "MainMenu: exit accepted"});
    EXPECT_EQ(errorLines(log), "");

    const std::string dump = saveDump(dir);
    for (const char* line : {"MainMode.version = 13", "MainMode.read_ok = 1", "MainMode.hearts = 5",
                             "MainMode.episode.0.parts = 2", "MainMode.episode.0.part.0.closed = 0",
                             "MainMode.episode.0.part.0.level.0.completed = 0", "MainMode.episode.0.part.1.closed = 1",
                             "profile.silver = 400", "profile.day_index = 1"})
        EXPECT_TRUE(hasLine(dump, line)) << line << " in\n" << dump << "\nafter\n" << log;
}

TEST(FlowRun, WithProgressPlayOpensTheMapAtOnceWhoseShopAndTheMenusAuthorsWindowOpenAndClose) {
    qvtest::TempDir dir;
    prepareRun(dir, "380 command activateMode:mainmode\n400 button btnPlay\n520 button btnBuyStars\n600 button btnClose\n700 key 27\n740 button btnMainMenu\n"
                    "860 button btnAuthors\n940 button btnClose\n1020 button btnExit\n1080 button btnAccept\n"
                    "3000 close\n");
    writeProfileWithProgress(dir);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(log.find("MovieState::initializeAsync"), std::string::npos) << log;
    EXPECT_EQ(log.find("everyday bonus"), std::string::npos) << log;
    // Every scripted click found its shown widget: the shop and the authors window were up.
    EXPECT_EQ(errorLines(log), "");
    // A mode name of another case is nobody's: one warning, and Play still finds the mode.
    expectInOrder(log, {"WARNING: activateMode: no game mode named 'mainmode'",
                        "void MainModeMapState::initializeAsync() -begin", "MainMenu::load", "MainMenu: exit accepted"});

    const std::string dump = saveDump(dir);
    for (const char* line : {"MainMode.read_ok = 1", "MainMode.episode.0.part.0.level.0.completed = 1",
                             "MainMode.episode.0.part.0.level.0.best_score = 800", "profile.silver = 350"})
        EXPECT_TRUE(hasLine(dump, line)) << line << " in\n" << dump;
}

// Leaving the map while its daily bonus closes and the star shop waits behind
// it: neither follows the player to the menu, the bonus is not paid there, and
// the next visit to the map offers it again.
TEST(FlowRun, LeavingTheMapDropsItsWindowsAndTheBonusWaitsForTheNextVisit) {
    qvtest::TempDir dir;
    prepareRun(dir, "400 button btnPlay\n600 command showBuyStarsWindow\n600 command setState:MainMenu\n"
                    "700 button btnClose\n800 button btnPlay\n1000 button btnOk\n1100 key 27\n1160 button btnMainMenu\n"
                    "1300 button btnExit\n1360 button btnAccept\n3000 close\n");
    writeProfileWithProgress(dir, 900, true);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    // Offered, the menu, offered again and paid (paid only once, so the second
    // offer is a line of its own).
    const size_t paid = log.find("bonus of day 1 paid");
    ASSERT_NE(paid, std::string::npos) << log;
    EXPECT_EQ(log.find("bonus of day 1 paid", paid + 1), std::string::npos) << "paid once\n" << log;
    expectInOrder(log, {"MainModeMapState: everyday bonus of day 1", "MainMenu::load",
                        "MainModeMapState: everyday bonus of day 1", "MainModeMapState: everyday bonus of day 1 paid",
                        "MainMenu: exit accepted"});
    // The only click that found nothing: the shop's close button on the menu.
    const std::string errors = errorLines(log);
    EXPECT_NE(errors.find("No shown widget 'btnClose' to click"), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;

    const std::string dump = saveDump(dir);
    for (const char* line : {"profile.silver = 400", "profile.day_index = 1"})
        EXPECT_TRUE(hasLine(dump, line)) << line << " in\n" << dump << "\nafter\n" << log;
}

TEST(FlowScreenshot, EpisodeMapWithItsTopPanelAndLevelStones) {
    qvtest::TempDir dir;
    prepareRun(dir, "400 button btnPlay\n560 screenshot map.png\n570 close\n");
    writeProfileWithProgress(dir);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << game.stderrText();
    expectPicture(dir.file("map.png"), "episode_map");
}

// Level buttons: a level past the first unfinished one takes the click but
// opens nothing; the won first level opens its start window, whose Play is
// handed on to the level start.
TEST(FlowRun, LevelButtonsOpenTheStartWindowOnlyForLevelsThatMayBePlayed) {
    qvtest::TempDir dir;
    prepareRun(dir, "400 button btnPlay\n520 click 560 470\n560 click 400 540\n640 button btnClose\n"
                    "700 click 230 600\n780 button btnPlay\n860 close\n");
    writeProfileWithProgress(dir, 1500);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(errorLines(log, kLevelArtLines), "");
    // Level 3 (part 0, level 2) is locked: only levels 2 and 1 opened the window.
    EXPECT_EQ(log.find("level window of part 0 level 2"), std::string::npos) << log;
    expectInOrder(log, {"void MainModeMapState::initializeAsync() -end", "level window of part 0 level 1",
                        "level window of part 0 level 0", "MainModeMapState: starting episode 0, part 0, level 0",
                        "Level started: meadow_1"});
    // Closing the window with its close button starts nothing.
    const size_t first = log.find("MainModeMapState: starting episode");
    EXPECT_EQ(log.find("MainModeMapState: starting episode", first + 1), std::string::npos);
}

TEST(FlowScreenshot, LevelStartWindowOpenedFromTheMap) {
    qvtest::TempDir dir;
    prepareRun(dir, "400 button btnPlay\n520 click 230 600\n620 screenshot start.png\n630 close\n");
    writeProfileWithProgress(dir, 1500);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << game.stderrText();
    expectPicture(dir.file("start.png"), "level_start_from_map");
}

// Keeps every processor busy while it lives: loading jobs then take many more
// frames' worth of time than on an idle machine.
class BusyProcessors {
public:
    BusyProcessors() {
        const unsigned count = std::max(2u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < count; ++i)
            mThreads.emplace_back([this] {
                volatile unsigned long spin = 0;
                while (!mStop.load(std::memory_order_relaxed)) ++spin;
            });
    }
    ~BusyProcessors() {
        mStop = true;
        for (std::thread& thread : mThreads) thread.join();
    }

private:
    std::atomic<bool> mStop{false};
    std::vector<std::thread> mThreads;
};

// The menu's and the map's loads in one session; its pictures as drawn.
struct SessionPictures {
    std::vector<uint8_t> menu, map;
    uint32_t width = 0, height = 0;
};

SessionPictures runMenuAndMapSession() {
    SessionPictures pictures;
    qvtest::TempDir dir;
    prepareRun(dir, "400 screenshot menu.png\n401 button btnPlay\n560 screenshot map.png\n570 close\n");
    writeProfileWithProgress(dir);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    EXPECT_TRUE(game.wait());
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    EXPECT_EQ(errorLines(qvtest::readFile(dir.file("QV.log"))), "");
    uint32_t width = 0, height = 0;
    pictures.menu = readPng(dir.file("menu.png"), &pictures.width, &pictures.height);
    pictures.map = readPng(dir.file("map.png"), &width, &height);
    EXPECT_EQ(width, pictures.width);
    EXPECT_EQ(height, pictures.height);
    return pictures;
}

size_t differingBytes(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t count = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) count += a[i] != b[i];
    return count;
}

// However long the loading jobs take, the scripted session draws the same
// pictures at the same frames: the lakes' water shows the same moment.
TEST(FlowScreenshot, ASessionDrawsTheSamePicturesOnABusyMachineAsOnAnIdleOne) {
    SessionPictures loaded;
    {
        BusyProcessors busy;
        loaded = runMenuAndMapSession();
    }
    const SessionPictures idle = runMenuAndMapSession();
    ASSERT_FALSE(idle.menu.empty());
    ASSERT_FALSE(idle.map.empty());
    EXPECT_EQ(differingBytes(loaded.menu, idle.menu), 0u);
    EXPECT_EQ(differingBytes(loaded.map, idle.map), 0u);
}

// The first level's road from a fresh profile: the intro, the daily bonus, level 1's
// button, its start window, a refused swap, the swap the first lesson asks for, the two lessons
// on the goal and the moves closed, two more swaps on its laid-out board, the win
// window and back to the map, where level 2 now opens. `shots` adds the screenshot lines.
std::string firstLevelScript(bool shots) {
    std::string script = playThroughTheIntro();
    script += "1000 button btnOk\n1100 click 230 600\n1200 button btnPlay\n";
    if (shots) script += "1470 screenshot level.png\n";
    // A swap away from the cells the lesson points at is refused (the board and
    // the moves in the pictures and the score show it); the lesson's own goes through.
    script += "1480 swap 4 8 4 9\n1510 swap 2 8 2 9\n";
    if (shots) script += "1590 screenshot goals.png\n";
    script += "1600 button btnClose\n1700 button btnClose\n1800 swap 4 8 4 9\n";
    // Mid-level: the score bar partly filled.
    if (shots) script += "1930 screenshot score_bar.png\n";
    script += "1950 swap 8 8 8 9\n";
    // The level end: the moves left become bonus chips, which go off before the win window.
    if (shots) script += "2450 screenshot level_end.png\n4250 screenshot win.png\n";
    script += "4350 button btnClose\n4650 click 400 540\n4750 button btnClose\n4850 close\n";
    return script;
}

// The numbers of the log line "Level won: <file> score <n> stars <k>".
bool wonLine(const std::string& log, const std::string& file, int* score, int* stars) {
    const std::string head = "Level won: " + file + " score ";
    const size_t at = log.find(head);
    return at != std::string::npos && std::sscanf(log.c_str() + at + head.size(), "%d stars %d", score, stars) == 2;
}

TEST(FlowRun, AFreshProfileWinsTheFirstLevelAndItsWinWindowLeadsBackToTheMapWithLevelTwoOpen) {
    qvtest::TempDir dir;
    prepareRun(dir, firstLevelScript(false));
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(errorLines(log, kLevelArtLines), "");
    int score = 0, stars = 0;
    ASSERT_TRUE(wonLine(log, "meadow_1", &score, &stars)) << log;
    // The first star is at 900 points: the two plain swaps score less, the wave's row brings it over
    // (and pays a silver). The board is laid out, so nothing scores before the swaps.
    EXPECT_GE(score, 1000);
    EXPECT_GE(stars, 1);
    expectInOrder(log, {"MainModeMapState: everyday bonus of day 1 paid", "level window of part 0 level 0",
                        "MainModeMapState: starting episode 0, part 0, level 0", "Level started: meadow_1",
                        "Level won: meadow_1", "void MainModeMapState::initializeAsync() -begin",
                        "level window of part 0 level 1"});
    EXPECT_EQ(log.find("Level failed"), std::string::npos);
    EXPECT_EQ(log.find("is not there yet"), std::string::npos) << "a stand-in acted instead of a window";

    const std::string dump = saveDump(dir);
    const int silver = 400 + int(double(score) * double(0.001f));  // the daily bonus, then the level's pay
    for (const std::string& line : std::vector<std::string>{
             std::string("MainMode.episode.0.part.0.level.0.completed = 1"),
          "MainMode.episode.0.part.0.level.0.best_score = " + std::to_string(score),
          "MainMode.episode.0.part.0.level.1.completed = 0", "profile.stars_base = " + std::to_string(stars),
          "profile.silver = " + std::to_string(silver)})
        EXPECT_TRUE(hasLine(dump, line)) << line << " in\n" << dump << "\nafter\n" << log;
}

// A level out of moves fails: the fail window offers a replay through the start
// window, and closing the fail window leads to the map; nothing is paid.
TEST(FlowRun, ALevelOutOfMovesFailsItsWindowReplaysThenLeadsBackAndPaysNothing) {
    qvtest::TempDir dir;
    prepareRun(dir, "400 button btnPlay\n600 click 230 600\n700 button btnPlay\n1000 swap 2 8 2 9\n"
                    "1300 button btnReplay\n1450 button btnPlay\n1750 swap 2 8 2 9\n2050 button btnClose\n"
                    "2300 close\n");
    writeProfileWithProgress(dir, 900);
    // One move and a target out of reach.
    std::string level = qvtest::readFile(dir.file("media/levels/meadow_1.lua"));
    level += "GameField.LevelLimit = 1\nGameField.stars = { 100000, 200000, 300000 }\n";
    qvtest::writeFile(dir.file("media/levels/meadow_1.lua"), level);
    const std::string before = saveDump(dir);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(errorLines(log, kLevelArtLines), "");
    expectInOrder(log, {"Level started: meadow_1", "Level failed: meadow_1 score ", "Level started: meadow_1",
                        "Level failed: meadow_1 score ", "void MainModeMapState::initializeAsync() -begin"});
    EXPECT_EQ(log.find("Level won"), std::string::npos);
    EXPECT_EQ(log.find("is not there yet"), std::string::npos) << "a stand-in acted instead of a window";

    const std::string after = saveDump(dir);
    for (const char* line : {"profile.silver = 350", "profile.stars_base = 0",
                             "MainMode.episode.0.part.0.level.0.best_score = 900"}) {
        EXPECT_TRUE(hasLine(before, line)) << line << " in\n" << before;
        EXPECT_TRUE(hasLine(after, line)) << line << " in\n" << after << "\nafter\n" << log;
    }
}

TEST(FlowScreenshot, FirstLevelMidPlayAndItsWinWindow) {
    qvtest::TempDir dir;
    prepareRun(dir, firstLevelScript(true));
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << game.stderrText();
    expectPicture(dir.file("level.png"), "first_level_play");
    expectPicture(dir.file("goals.png"), "first_level_goals_lesson");
    expectPicture(dir.file("score_bar.png"), "first_level_score_bar");
    expectPicture(dir.file("level_end.png"), "first_level_end");
    expectPicture(dir.file("win.png"), "first_level_won");
}

// Every menu window a player can open, as drawn: the options window and its
// reset question from the main menu, the map menu (Escape on the map) and the
// in-level menu (Escape in a replayed level, whose lessons are over), whose
// leave button asks first and then returns to the map.
TEST(FlowScreenshot, MenuWindowsOfTheMainMenuTheMapAndTheLevel) {
    qvtest::TempDir dir;
    prepareRun(dir, "400 button btnOptions\n480 screenshot options.png\n490 button btnReset\n560 screenshot reset.png\n"
                    "570 button btnReject\n640 button btnClose\n700 button btnPlay\n860 key 27\n940 screenshot map_menu.png\n"
                    "950 button btnClose\n1020 click 230 600\n1100 button btnPlay\n1450 key 27\n1530 screenshot ingame_menu.png\n"
                    "1540 button btnMap\n1610 screenshot confirm_exit.png\n1620 button btnAccept\n1900 close\n");
    writeProfileWithProgress(dir);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(errorLines(log, kLevelArtLines), "");
    EXPECT_EQ(log.find("is not there yet"), std::string::npos) << log;
    expectInOrder(log, {"loading ui: options_window_ui", "void MainModeMapState::initializeAsync() -end",
                        "loading ui: map_menu_ui", "Level started: meadow_1",
                        "void MainModeMapState::initializeAsync() -begin"});
    EXPECT_EQ(log.find("Level won"), std::string::npos);
    expectPicture(dir.file("options.png"), "options_window");
    expectPicture(dir.file("reset.png"), "reset_question_window");
    expectPicture(dir.file("map_menu.png"), "map_menu_window");
    expectPicture(dir.file("ingame_menu.png"), "ingame_menu_window");
    expectPicture(dir.file("confirm_exit.png"), "confirm_exit_level_window");
}

// A fresh profile's first lesson on level 1: its swap completes it and the
// next lesson shows; quitting keeps the sequence at that lesson, and the next
// session's level 1 resumes there (its close button is there to press). The
// options' reset then starts the tutorial over.
TEST(FlowRun, TheTutorialResumesAtTheSavedLessonAfterAQuitAndTheResetStartsItOver) {
    qvtest::TempDir dir;
    std::string script = playThroughTheIntro();
    script += "1000 button btnOk\n1100 click 230 600\n1200 button btnPlay\n1510 swap 2 8 2 9\n1640 close\n";
    prepareRun(dir, script);
    {
        qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
        ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
        EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    }
    const std::string first = saveDump(dir);
    for (const char* line : {"tutorial.sequences = 2", "tutorial.0.name = \"tutorial_first_levels_lua\"",
                             "tutorial.0.index = 1", "tutorial.1.index = 0"})
        EXPECT_TRUE(hasLine(first, line)) << line << " in\n" << first;

    // The level was left unfinished, so the intro plays again; the day's bonus is taken.
    script = playThroughTheIntro();
    script += "1000 click 230 600\n1100 button btnPlay\n1450 button btnClose\n1550 close\n";
    qvtest::writeFile(dir.file("input.txt"), script);
    {
        qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
        ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
        EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    }
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(errorLines(log, kLevelArtLines), "");
    const std::string second = saveDump(dir);
    EXPECT_TRUE(hasLine(second, "tutorial.0.index = 2")) << second << "\nafter\n" << log;
    EXPECT_TRUE(hasLine(second, "profile.silver = 400")) << second;

    // The options' reset question: a release after 1.2 s does nothing, a hold of
    // 3 s (150 frames of 0.02 s) starts the game and the tutorial over.
    qvtest::writeFile(dir.file("input.txt"), "400 button btnOptions\n480 button btnReset\n560 move 550 430\n"
                                             "561 press left\n620 release left\n700 press left\n860 release left\n"
                                             "900 button btnAccept\n960 close\n");
    {
        qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
        ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
        EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    }
    EXPECT_EQ(errorLines(qvtest::readFile(dir.file("QV.log"))), "");
    const std::string third = saveDump(dir);
    for (const char* line : {"tutorial.0.index = 0", "tutorial.1.index = 0", "profile.silver = 350"})
        EXPECT_TRUE(hasLine(third, line)) << line << " in\n" << third;
}

// The options window in the game: the two boxes switch the window mode and the
// game's cursor, the bars set the volumes, and OK saves them all.
TEST(FlowRun, TheOptionsWindowSwitchesTheWindowAndCursorSetsTheVolumesAndSavesThem) {
    qvtest::TempDir dir;
    // Full screen last: the window then changes size, and clicks are given in window pixels.
    prepareRun(dir, "400 button btnOptions\n480 click 500 240\n"
                    "520 move 640 318\n521 press left\n526 release left\n560 move 580 392\n561 press left\n"
                    "566 release left\n600 click 500 190\n640 button btnAccept\n720 close\n");
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    EXPECT_EQ(errorLines(qvtest::readFile(dir.file("QV.log"))), "");
    const std::string dump = saveDump(dir);
    for (const char* line : {"profile.full_screen = 1", "profile.custom_cursor = 0", "profile.sound_volume = 0.5",
                             "profile.music_volume = 0.25"})
        EXPECT_TRUE(hasLine(dump, line)) << line << " in\n" << dump;
}

// Back on the map after the first win: the stars and the silver fly to their
// counters, the marker walks to level 2, a locked level ignores its click, the
// wheel scrolls up and the arrow at the top pages to the second episode and
// its arrow back. `shots` adds the screenshot of the flight.
std::string winAndMapScript(bool shots) {
    std::string script = firstLevelScript(false);
    script = script.substr(0, script.find("4650 click"));
    if (shots) script += "4375 screenshot flight.png\n";
    script += "4600 click 560 470\n"                               // level 3, locked
              "4650 wheel 1\n4653 wheel 1\n4656 wheel 1\n"         // up to the top of the map
              "4800 move 1160 80\n4810 press left\n4814 release left\n"  // the next-episode arrow
              "4900 move 1160 640\n4910 press left\n4914 release left\n"  // its arrow back
              "5050 close\n";
    return script;
}

TEST(FlowRun, AWinsAwardsFlyTheMarkerWalksOnAndTheArrowsPageBetweenEpisodes) {
    qvtest::TempDir dir;
    prepareRun(dir, winAndMapScript(false));
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(errorLines(log, kLevelArtLines), "");
    int score = 0, stars = 0;
    ASSERT_TRUE(wonLine(log, "meadow_1", &score, &stars)) << log;
    expectInOrder(log, {"Level won: meadow_1", "void MainModeMapState::initializeAsync() -begin",
                        "MainModeMapState: the marker walks to part 0 level 1", "MainModeMapState: episode 1",
                        "MainModeMapState: episode 0"});
    EXPECT_EQ(log.find("level window of part 0 level 2"), std::string::npos) << "a locked level opened";

    const std::string dump = saveDump(dir);
    const int silver = 400 + int(double(score) * double(0.001f));
    for (const std::string& line : std::vector<std::string>{"MainMode.episode.0.part.0.level.0.completed = 1",
                                                            "profile.stars_base = " + std::to_string(stars),
                                                            "profile.silver = " + std::to_string(silver)})
        EXPECT_TRUE(hasLine(dump, line)) << line << " in\n" << dump;
}

TEST(FlowScreenshot, TheMapAfterAWinWithAStarInFlight) {
    qvtest::TempDir dir;
    prepareRun(dir, winAndMapScript(true));
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << game.stderrText();
    expectPicture(dir.file("flight.png"), "episode_map_award_flight");
}

MainModeProgress partOneWonProgress() {
    MainModeProgress progress;
    progress.hasProgress = true;
    progress.currentPart = 1;
    progress.episodes.resize(1);
    progress.episodes[0].parts = {{false, {{true, 1500}, {true, 1500}, {true, 1500}}},
                                  {true, {{false, 0}, {false, 0}, {false, 0}}}};
    return progress;
}

// Part one won and 40 stars: the map opens part two with its gate, once, and saves it.
TEST(FlowRun, EnoughStarsOpenPartTwoOnTheMapOnceAndItStaysOpen) {
    qvtest::TempDir dir;
    prepareRun(dir, "400 button btnPlay\n600 command setState:MainMenu\n700 button btnPlay\n900 close\n");
    writeProfile(dir, partOneWonProgress(), 40, 20);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(errorLines(log), "");
    const size_t opened = log.find("MainModeMapState: part 1 opens");
    ASSERT_NE(opened, std::string::npos) << log;
    EXPECT_EQ(log.find("MainModeMapState: part 1 opens", opened + 1), std::string::npos) << "opened twice\n" << log;
    expectInOrder(log, {"MainModeMapState: part 1 opens", "MainModeMapState: the marker walks to part 1 level 0"});
    EXPECT_TRUE(hasLine(saveDump(dir), "MainMode.episode.0.part.1.closed = 0")) << saveDump(dir);
}

// No heart: a chosen level opens the heart window first; with 10 gold its Buy
// asks for the (empty) gold shop and the window stays; with 11 it buys a heart.
std::string heartScript(bool shots) {
    std::string script = "400 button btnPlay\n520 click 400 540\n";
    if (shots) script += "600 screenshot hearts.png\n";
    script += "620 button btnBuy\n720 button btnClose\n800 close\n";
    return script;
}

TEST(FlowRun, WithoutAHeartTheHeartWindowSellsOneForElevenGoldThenTheLevelWindowOpens) {
    for (int gold : {11, 10}) {
        qvtest::TempDir dir;
        prepareRun(dir, heartScript(false));
        MainModeProgress progress;
        progress.hasProgress = true;
        progress.hearts = 0;
        progress.currentLevel = 1;
        progress.episodes.resize(1);
        progress.episodes[0].parts = {{false, {{true, 900}, {false, 0}, {false, 0}}},
                                      {true, {{false, 0}, {false, 0}, {false, 0}}}};
        writeProfile(dir, progress, 0, gold);
        qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
        ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
        EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
        const std::string log = qvtest::readFile(dir.file("QV.log"));
        // Every scripted button was there: Buy on the heart window, Close on the level window (or the heart window).
        EXPECT_EQ(errorLines(log), "") << gold;
        const std::string dump = saveDump(dir);
        if (gold == 11) {
            expectInOrder(log, {"MainModeMapState: no heart for part 0 level 1", "level window of part 0 level 1"});
            for (const char* line : {"MainMode.hearts = 1", "profile.gold = 0"})
                EXPECT_TRUE(hasLine(dump, line)) << line << " in\n" << dump;
        } else {
            EXPECT_NE(log.find("MainModeMapState: no heart for part 0 level 1"), std::string::npos) << log;
            EXPECT_EQ(log.find("level window of part 0 level 1"), std::string::npos) << log;
            for (const char* line : {"MainMode.hearts = 0", "profile.gold = 10"})
                EXPECT_TRUE(hasLine(dump, line)) << line << " in\n" << dump;
        }
    }
}

TEST(FlowScreenshot, TheHeartWindowWithItsCountdown) {
    qvtest::TempDir dir;
    prepareRun(dir, heartScript(true));
    MainModeProgress progress;
    progress.hasProgress = true;
    progress.hearts = 0;
    progress.currentLevel = 1;
    progress.episodes.resize(1);
    progress.episodes[0].parts = {{false, {{true, 900}, {false, 0}, {false, 0}}}, {true, {{false, 0}, {false, 0}, {false, 0}}}};
    writeProfile(dir, progress, 0, 11);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    ASSERT_EQ(game.exitCode(), 0) << game.stderrText();
    expectPicture(dir.file("hearts.png"), "heart_window");
}

// A map scene without its camera: one ERROR line, and the map still shows and takes its clicks.
TEST(FlowRun, AMapWithoutItsCameraSaysSoOnceAndShowsUnscrolled) {
    qvtest::TempDir dir;
    prepareRun(dir, "400 button btnPlay\n520 click 400 540\n600 button btnClose\n650 wheel 1\n700 close\n");
    writeProfileWithProgress(dir);
    const std::string scene = dir.file("media/scenes/flow/map_episode_1.xml");
    std::string xml = qvtest::readFile(scene);
    const size_t from = xml.find("  <Object type=\"MovieCamera\"");
    const size_t to = xml.find("  </Object>\n", from);
    ASSERT_NE(from, std::string::npos);
    xml.erase(from, to + 12 - from);
    qvtest::writeFile(scene, xml);
    qvtest::ChildProcess game(qvtest::glimvaleProgram(), {}, dir.path(), runEnvironment(dir));
    ASSERT_TRUE(game.wait()) << qvtest::readFile(dir.file("QV.log"));
    EXPECT_EQ(game.exitCode(), 0) << game.stderrText();
    const std::string log = qvtest::readFile(dir.file("QV.log"));
    const std::string errors = errorLines(log);
    EXPECT_NE(errors.find("ERROR: The map of episode 0 has no camera '#camera'; it does not scroll"), std::string::npos) << log;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(log.find("level window of part 0 level 1"), std::string::npos) << log;
}

}  // namespace
