#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include <chrono>

#include "animationeditor/scene_node.h"
#include "dialogs/blocker_message_window.h"
#include "dialogs/buy_heart_window.h"
#include "dialogs/buy_valuta_window.h"
#include "dialogs/play_level_window.h"
#include "flow/episode.h"
#include "job_manager.h"
#include "flow/main_mode.h"
#include "flow/main_mode_map_state.h"
#include "game/dialogs/level_windows_world.h"
#include "platform/scripted_input_source.h"
#include "player/main_mode_section.h"

namespace {

using leveltest::LevelWorld;

// The episode data, its levels and the map's content, as the flow file list names them.
std::vector<qvtest::FontMediaFile> flowMedia() {
    std::ifstream list(QV_SOURCE_DIR "/media/filelists/flow.lua");
    const std::string text((std::istreambuf_iterator<char>(list)), std::istreambuf_iterator<char>());
    const std::regex entry("name = \"([a-z0-9_]+)\", filename = \"/([^\"]+)\"");
    std::vector<qvtest::FontMediaFile> files;
    for (std::sregex_iterator it(text.begin(), text.end(), entry), end; it != end; ++it) {
        const std::string name = (*it)[1];
        // The cutscenes and the menu are not the map's.
        if (name.find("cutscene") != std::string::npos || name.find("menu") != std::string::npos ||
            name == "dialog_1_xml" || name == "caption_ribbon_png")
            continue;
        files.push_back(qvtest::repositoryFile(name, (*it)[2]));
    }
    return files;
}

MainModeProgress firstLevelWon() {
    MainModeProgress progress;
    progress.hasProgress = true;
    progress.episodes.resize(1);
    progress.episodes[0].parts = {{false, {{true, 1500}, {false, 0}, {false, 0}}},
                                  {true, {{false, 0}, {false, 0}, {false, 0}}}};
    return progress;
}

// The map of a profile (by default: its first level won with two stars), built as its job would.
struct MapWorld {
    explicit MapWorld(const MainModeProgress& progress = firstLevelWon(), int32_t starsBase = 0)
        : world(qvtest::HostDevice::None, flowMedia()), mode("") {
        // No everyday bonus today: it would hold the map's input.
        world.profile().mDayStamp = (uint64_t(std::time(nullptr)) / 86400 + 2) * 86400;
        world.profile().mStarsBase = starsBase;
        mode.applyProgress(progress);
        mode.updateLocks();
        map = std::make_unique<MainModeMapState>(&mode);
        map->buildMap();
        steps(10);
    }
    ~MapWorld() {
        jobs.clear();
        map.reset();
    }
    void steps(int count) {
        for (int i = 0; i < count; ++i) {
            world.frames(1);
            map->update(0.1f);
        }
    }
    void moveTo(int x, int y) {
        world.world->input().moveMouse(world.world->frameIndex(), x, y);
        steps(4);
    }
    void clickAt(int x, int y) {
        world.world->clickAt(float(x), float(y));
        steps(4);
    }
    AE::ISceneNode* button(size_t part, size_t level) { return map->getLevelButtonGroups()[part].buttons[level]; }
    // The map built again (a page turn or a return from a level); however long a
    // busy machine takes, within ctest's own limit.
    void waitForBuild() {
        QV::JobManager::instance()->waitForRunningJobs(std::chrono::seconds(600));
        ASSERT_TRUE(map->isLoaded());
    }
    void drag(int x, int y, int toX, int toY) {
        QV::Platform::ScriptedInputSource& in = world.world->input();
        using Button = QV::Platform::ScriptedInputSource::Button;
        const int frame = world.world->frameIndex();
        in.moveMouse(frame, x, y);
        in.pressButton(frame + 1, Button::Left);
        in.moveMouse(frame + 2, (x + toX) / 2, (y + toY) / 2);
        in.moveMouse(frame + 3, toX, toY);
        in.releaseButton(frame + 5, Button::Left);
        steps(6);
    }
    float cameraY() const { return map->getCameraPosition().y; }
    std::string panelText(const char* name) { return leveltest::textOf(map->getInterfaceScene(), name); }
    // The world point of a node of a level button.
    QV::Vector2<float> pointOf(size_t part, size_t level, const char* node) {
        const AE::ISceneNode* n = button(part, level)->findNode(node);
        return QV::Vector2<float>(n->mWorldMatrix.m20, n->mWorldMatrix.m21);
    }
    int logCount(const std::string& text) {
        int count = 0;
        for (const std::string& line : world.world->log().lines) count += line.find(text) != std::string::npos;
        return count;
    }
    // The world alpha of a node of a level button.
    int alpha(size_t part, size_t level, const char* node) {
        return int(button(part, level)->findNode(node)->getWorldColor().a);
    }

    QV::JobManager jobs;  // a page turn builds the map on a job
    LevelWorld world;
    MainMode mode;
    std::unique_ptr<MainModeMapState> map;
};

TEST(MapLevelButtons, EachLevelHasItsButtonInThePoseOfItsProgress) {
    MapWorld w;
    ASSERT_TRUE(w.map->isLoaded());
    const auto& groups = w.map->getLevelButtonGroups();
    // The episode's two parts, then the next episode's first part (its gate only).
    ASSERT_EQ(groups.size(), 3u);
    ASSERT_EQ(groups[0].buttons.size(), 3u);
    ASSERT_EQ(groups[1].buttons.size(), 7u);
    for (size_t g = 0; g < 2; ++g)
        for (AE::ISceneNode* button : groups[g].buttons) ASSERT_NE(button, nullptr);
    EXPECT_TRUE(groups[2].buttons.empty());
    EXPECT_EQ(groups[0].blocker, nullptr);
    ASSERT_NE(groups[1].blocker, nullptr);
    ASSERT_NE(groups[2].blocker, nullptr);
    EXPECT_EQ(leveltest::textOf(groups[1].blocker, "#stars"), "40");
    // The marker stands on the level the player is at.
    const AE::ISceneNode* user = w.button(0, 1)->findNode("#user");
    EXPECT_FLOAT_EQ(w.map->getPlayerScene()->getPosition().x, user->mWorldMatrix.m20);
    EXPECT_FLOAT_EQ(w.map->getPlayerScene()->getPosition().y, user->mWorldMatrix.m21);
    // Each button stands where its place was, under the place's name; the place is gone.
    EXPECT_EQ(w.button(0, 0)->mName, "#meadow_1");
    EXPECT_FLOAT_EQ(w.button(0, 0)->getPosition().x, 230);
    EXPECT_FLOAT_EQ(w.button(0, 0)->getPosition().y, 600);
    EXPECT_EQ(w.map->getMapRoot()->findNode("#meadow_1"), w.button(0, 0));
    EXPECT_EQ(leveltest::textOf(w.button(1, 2), "text"), "6");

    // Won with 1500 of 900, 1400, 2000: completed with two stars.
    EXPECT_EQ(w.alpha(0, 0, "done"), 255);
    EXPECT_EQ(w.alpha(0, 0, "star1"), 255);
    EXPECT_EQ(w.alpha(0, 0, "star2"), 255);
    EXPECT_EQ(w.alpha(0, 0, "star3"), 0);
    EXPECT_EQ(w.alpha(0, 0, "locked"), 0);
    // The next level is open and the player stands there.
    EXPECT_EQ(w.alpha(0, 1, "open"), 255);
    EXPECT_EQ(w.alpha(0, 1, "done"), 0);
    EXPECT_EQ(w.alpha(0, 1, "halo"), 255);
    EXPECT_EQ(w.alpha(0, 0, "halo"), 0);
    // The rest, and the closed part, are locked.
    for (const auto& [part, level] : std::vector<std::pair<size_t, size_t>>{{0, 2}, {1, 0}, {1, 1}, {1, 2}}) {
        EXPECT_EQ(w.alpha(part, level, "locked"), 255) << part << " " << level;
        EXPECT_EQ(w.alpha(part, level, "open"), 0) << part << " " << level;
    }
}

TEST(MapLevelButtons, OnlyOpenButtonsLiftUnderThePointer) {
    MapWorld w;
    w.moveTo(400, 540);  // level 2, open
    EXPECT_EQ(w.map->getHoveredButton(), w.button(0, 1));
    EXPECT_GT(w.button(0, 1)->findNode("face")->getScale().x, 1.05f);
    w.moveTo(560, 470);  // level 3, locked
    EXPECT_EQ(w.map->getHoveredButton(), nullptr);
    EXPECT_FLOAT_EQ(w.button(0, 1)->findNode("face")->getScale().x, 1.0f);
    EXPECT_FLOAT_EQ(w.button(0, 2)->findNode("face")->getScale().x, 1.0f);
    w.moveTo(230, 600);  // level 1, won
    EXPECT_EQ(w.map->getHoveredButton(), w.button(0, 0));
}

TEST(MapLevelButtons, ALevelPastTheFirstUnfinishedOneOpensNothingAndAPlayableOneOpensItsWindow) {
    MapWorld w;
    PlayLevelWindow* window = w.map->getLevelWindow();
    ASSERT_NE(window, nullptr);
    w.clickAt(560, 470);  // level 3
    EXPECT_EQ(window->mState, DialogWindow::Hidden);
    EXPECT_EQ(w.map->getSelectedLevel(), 1);  // still the mode's current level

    w.clickAt(230, 600);  // level 1, won with two stars
    EXPECT_NE(window->mState, DialogWindow::Hidden);
    EXPECT_EQ(w.map->getSelectedPart(), 0);
    EXPECT_EQ(w.map->getSelectedLevel(), 0);
    EXPECT_EQ(window->mStars, 2);
    EXPECT_EQ(leveltest::textOf(window->mScene, "#levelNum"), "Level 1");
    // While the window is up the map takes no clicks.
    w.steps(6);
    ASSERT_EQ(window->mState, DialogWindow::Shown);
    w.clickAt(400, 540);
    EXPECT_EQ(w.map->getSelectedLevel(), 0);

    // Closed with its close button nothing starts; with Play the start is handed on.
    window->onCloseClicked();
    w.steps(6);
    ASSERT_EQ(window->mState, DialogWindow::Hidden);
    int handedOn = 0;
    for (const std::string& line : w.world.world->log().lines) handedOn += line.find("MainModeMapState: starting episode") != std::string::npos;
    EXPECT_EQ(handedOn, 0);
    w.clickAt(400, 540);  // level 2, open
    EXPECT_EQ(w.map->getSelectedLevel(), 1);
    w.steps(6);
    window->onPlayClicked();
    w.steps(6);
    EXPECT_EQ(window->mResult, PlayLevelWindow::Play);
    for (const std::string& line : w.world.world->log().lines)
        handedOn += line.find("MainModeMapState: starting episode 0, part 0, level 1") != std::string::npos;
    EXPECT_EQ(handedOn, 1);
}

// The shipped map is two screens high: the camera starts at its bottom, where
// part one lies, follows a drag, may overshoot by its margin and glides back.
TEST(MapScrolling, DragAndWheelScrollWithinTheBoundsAndGlideBack) {
    MapWorld w;
    const CameraBounds& bounds = w.map->getBounds();
    EXPECT_FLOAT_EQ(bounds.minY, -720);
    EXPECT_FLOAT_EQ(bounds.maxY, 0);
    EXPECT_FLOAT_EQ(bounds.minX, 0);
    EXPECT_FLOAT_EQ(bounds.maxX, 0);
    EXPECT_FLOAT_EQ(w.map->getCameraConfig().overscroll.y, 60);
    EXPECT_FLOAT_EQ(w.cameraY(), 0);

    // Pulling the map down shows what lies above: the camera rises by the pull.
    w.drag(640, 200, 640, 400);
    EXPECT_FALSE(w.map->isDragging());
    EXPECT_LE(w.cameraY(), -200);
    w.steps(30);
    EXPECT_GE(w.cameraY(), -720);
    EXPECT_FALSE(w.map->hasInertia());
    const float settled = w.cameraY();

    // A pull past the top stops at the margin and glides back onto the bound exactly.
    w.drag(640, 100, 640, 700);
    EXPECT_GE(w.cameraY(), -780);
    w.steps(10);
    EXPECT_FLOAT_EQ(w.cameraY(), -720);
    EXPECT_FALSE(w.map->isSettling());
    EXPECT_LT(settled, 0.0f);

    // The wheel turned towards the user scrolls down with an impulse that dies away.
    w.world.world->input().turnWheel(w.world.world->frameIndex(), -1);
    w.steps(2);
    EXPECT_TRUE(w.map->hasInertia());
    w.steps(40);
    EXPECT_FALSE(w.map->hasInertia());
    EXPECT_GT(w.cameraY(), -720 + 100);
    EXPECT_LE(w.cameraY(), 0);
    // The buttons follow the camera: level 1 lies lower on screen now.
    w.drag(1000, 400, 1000, 0);
    w.steps(10);
    EXPECT_FLOAT_EQ(w.cameraY(), 0);
}

TEST(MapPaging, TheArrowsPageToTheNextEpisodeAtItsBottomAndBackAtTheTop) {
    MapWorld w;
    ASSERT_NE(w.map->getNextButton(), nullptr);
    EXPECT_EQ(w.map->getPrevButton(), nullptr);
    w.map->onMapButton(w.map->getNextButton());
    w.waitForBuild();
    EXPECT_EQ(w.map->getEpisodeIndex(), 1);
    ASSERT_NE(w.map->getPrevButton(), nullptr);
    EXPECT_EQ(w.map->getNextButton(), nullptr);
    const auto& groups = w.map->getLevelButtonGroups();
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].buttons.size(), 2u);
    ASSERT_NE(groups[0].blocker, nullptr);
    EXPECT_EQ(leveltest::textOf(groups[0].blocker, "#stars"), "85");
    // Not the player's episode: no marker on it.
    EXPECT_FALSE(w.map->getPlayerScene()->mEnabled);
    w.steps(10);
    EXPECT_FLOAT_EQ(w.cameraY(), 0) << w.map->isSettling() << w.map->hasInertia() << w.map->isDragging() << w.map->getMovePhase() << w.map->hasAwardFlights();  // the bottom of a 1080 high map

    w.map->onMapButton(w.map->getPrevButton());
    w.waitForBuild();
    EXPECT_EQ(w.map->getEpisodeIndex(), 0);
    w.steps(10);
    EXPECT_FLOAT_EQ(w.cameraY(), -720);  // the top, where the arrow was
    EXPECT_TRUE(w.map->getPlayerScene()->mEnabled);
}

// Back from a first win of level 1: two stars, then the silver fly to their
// counters, which step up at each arrival; then the camera pans and the
// marker walks to level 2.
TEST(MapProgression, AWonLevelsAwardsFlyThenTheMarkerWalksToTheNextLevel) {
    MapWorld w;
    w.map->selectLevel(0, 0);  // the level that was played
    hideWindowsForcibly();
    w.map->onDeactivate();
    PlayerProfile& profile = w.world.profile();
    const int stars = profile.getStars() + 2, silver = profile.mSilver + 7;
    profile.mStarsBase += 2;
    profile.mSilver = silver;
    w.map->startAwardFlights(2);
    w.map->requestPlayerMove(true, false);
    w.map->addPendingSilver(7);
    w.map->buildMap();
    EXPECT_EQ(w.panelText("#stars"), std::to_string(stars - 2));
    EXPECT_EQ(w.panelText("#silver"), std::to_string(silver - 7));

    w.steps(1);
    EXPECT_TRUE(w.map->hasAwardFlights());
    EXPECT_EQ(w.map->getMovePhase(), 1);  // the walk waits for the flights
    EXPECT_EQ(w.panelText("#stars"), std::to_string(stars - 2));
    w.steps(5);  // the first star has landed
    EXPECT_EQ(w.panelText("#stars"), std::to_string(stars - 1));
    w.steps(5);
    EXPECT_EQ(w.panelText("#stars"), std::to_string(stars));
    EXPECT_EQ(w.panelText("#silver"), std::to_string(silver - 7));
    w.steps(20);  // the silver's pause and flight
    EXPECT_EQ(w.panelText("#silver"), std::to_string(silver));
    EXPECT_FALSE(w.map->hasAwardFlights());

    w.steps(40);
    EXPECT_EQ(w.map->getMovePhase(), 0);
    const QV::Vector2<float> at = w.map->getPlayerScene()->getPosition();
    const QV::Vector2<float> target = w.pointOf(0, 1, "#user");
    EXPECT_NEAR(at.x, target.x, 0.5f);
    EXPECT_NEAR(at.y, target.y, 0.5f);
    EXPECT_EQ(w.logCount("the marker walks to part 0 level 1"), 1);
    // Without "next" no window opened by itself.
    EXPECT_EQ(w.map->getLevelWindow()->mState, DialogWindow::Hidden);
}

MainModeProgress partOneWon() {
    MainModeProgress progress;
    progress.hasProgress = true;
    progress.episodes.resize(1);
    progress.episodes[0].parts = {{false, {{true, 1500}, {true, 1500}, {true, 1500}}},
                                  {true, {{false, 0}, {false, 0}, {false, 0}}}};
    return progress;
}

// With part one won and the stars of the part-two gate, the map pans to the
// gate, opens it and walks the marker into part two, once.
TEST(MapProgression, EnoughStarsOpenTheNextPartWithItsGateOnce) {
    MapWorld w(partOneWon(), 40);
    // The fixture's first frames have begun it.
    const EpisodePart* part = w.mode.getEpisodes()[0]->mParts[1];
    w.steps(60);
    EXPECT_FALSE(part->mClosed);
    EXPECT_EQ(w.map->getOpenPhase(), 0);
    EXPECT_EQ(w.map->getMovePhase(), 0);
    EXPECT_EQ(w.logCount("MainModeMapState: part 1 opens"), 1);
    const QV::Vector2<float> at = w.map->getPlayerScene()->getPosition();
    EXPECT_NEAR(at.y, w.pointOf(1, 0, "#user").y, 0.5f);
    EXPECT_EQ(w.alpha(1, 0, "open"), 255);

    w.map->onDeactivate();
    w.map->buildMap();
    w.steps(20);
    EXPECT_EQ(w.logCount("MainModeMapState: part 1 opens"), 1);
}

TEST(MapProgression, TooFewStarsKeepThePartClosedAndItsGateTakesTheClick) {
    MapWorld w(partOneWon(), 39);
    w.steps(20);
    EXPECT_TRUE(w.mode.getEpisodes()[0]->mParts[1]->mClosed);
    EXPECT_EQ(w.map->getOpenPhase(), 0);
    // The gate over the stream shows the stars it asks for, and a click on it explains.
    AE::ISceneNode* gate = w.map->getLevelButtonGroups()[1].blocker;
    ASSERT_NE(gate, nullptr);
    EXPECT_EQ(leveltest::textOf(gate, "#stars"), "40");
    w.clickAt(700, 400);  // the camera stands 60 above the bottom, at part two's first level
    w.steps(4);
    EXPECT_NE(w.map->getBlockerWindow()->mState, DialogWindow::Hidden);
    // Each visit has its own blocker window, released when the map unloads.
    w.map->onDeactivate();
    EXPECT_EQ(w.map->getBlockerWindow(), nullptr);
}

// Without a heart a chosen level opens the heart window; a heart bought there
// (11 gold) brings the level window.
TEST(MapHearts, ALevelChosenWithoutAHeartOpensTheHeartWindowFirst) {
    MapWorld w;
    BuyValutaWindowSingleton shop;
    w.mode.setHearts(0);
    PlayerProfile& profile = w.world.profile();
    profile.mGold = 10;
    w.clickAt(400, 540);  // level 2
    BuyHeartWindow* hearts = w.map->getHeartWindow();
    ASSERT_NE(hearts, nullptr);
    w.steps(6);
    EXPECT_EQ(hearts->mState, DialogWindow::Shown);
    EXPECT_EQ(w.map->getLevelWindow()->mState, DialogWindow::Hidden);
    EXPECT_EQ(leveltest::textOf(hearts->mScene, "#heart_price"), "-11");

    // 10 gold: the gold shop is asked for and the window stays.
    hearts->onBuyClicked();
    w.steps(4);
    EXPECT_EQ(shop.mRequestedCurrency, 2);
    EXPECT_EQ(hearts->mState, DialogWindow::Shown);
    EXPECT_EQ(w.mode.getHearts(), 0);

    profile.mGold = 11;
    hearts->onBuyClicked();
    w.steps(8);
    EXPECT_EQ(profile.mGold, 0);
    EXPECT_EQ(w.mode.getHearts(), 1);
    EXPECT_EQ(hearts->mState, DialogWindow::Hidden);
    EXPECT_NE(w.map->getLevelWindow()->mState, DialogWindow::Hidden);
    EXPECT_EQ(w.map->getSelectedLevel(), 1);
}

TEST(MapHearts, TheCountdownRunsTwentyMinutesFromTheStampAndNeverBelowZero) {
    const int64_t now = 1'800'000'000;  // past 2038: the arithmetic is 64-bit
    EXPECT_EQ(heartCountdownSeconds(0, now - 100, now), 1100);
    EXPECT_EQ(heartCountdownText(heartCountdownSeconds(0, now - 100, now)), "18:20");
    EXPECT_EQ(heartCountdownSeconds(3, now - 5000, now), 0);
    EXPECT_EQ(heartCountdownText(0), "00:00");
    EXPECT_EQ(heartCountdownSeconds(5, now, now), -1);
    EXPECT_EQ(heartCountdownSeconds(7, now, now), -1);
}

// A heart that arrives from elsewhere closes the window; closing it without one opens nothing.
TEST(MapHearts, TheHeartWindowClosesItselfWithAHeartAndItsCloseLeavesTheMap) {
    MapWorld w;
    w.mode.setHearts(0);
    w.clickAt(400, 540);
    BuyHeartWindow* hearts = w.map->getHeartWindow();
    w.steps(6);
    ASSERT_EQ(hearts->mState, DialogWindow::Shown);
    hearts->hide();
    w.steps(6);
    EXPECT_EQ(hearts->mState, DialogWindow::Hidden);
    EXPECT_EQ(w.map->getLevelWindow()->mState, DialogWindow::Hidden);

    w.clickAt(400, 540);
    w.steps(6);
    ASSERT_EQ(hearts->mState, DialogWindow::Shown);
    w.mode.setHearts(9);
    w.steps(8);
    EXPECT_EQ(w.mode.getHearts(), 5);
    EXPECT_EQ(hearts->mState, DialogWindow::Hidden);
    EXPECT_NE(w.map->getLevelWindow()->mState, DialogWindow::Hidden);
}

}  // namespace
