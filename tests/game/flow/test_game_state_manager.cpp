#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "player/game_properties.h"
#include "flow/game_state_manager.h"
#include "board/mode.h"
#include "player/platform_config.h"
#include "lex_binded_function.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "support/temp_dir.h"

namespace {

// A state that writes what happens to it into a shared journal.
class RecordingState : public IGameState {
public:
    RecordingState(std::string name, std::vector<std::string>& journal, bool loaded = false)
        : mName(std::move(name)), mJournal(journal) {
        setLoaded(loaded);
    }
    ~RecordingState() override { mJournal.push_back(mName + ".deleted"); }

    void load() override {
        mJournal.push_back(mName + ".load");
        setLoaded(true);
    }
    void unload() override {
        mJournal.push_back(mName + ".unload");
        setLoaded(false);
    }
    void update(float) override {
        mJournal.push_back(mName + ".update");
        for (const std::string& target : mSwitchOnUpdate)
            QV::Singleton<GameStateManager>::instance()->setState(target);
        mSwitchOnUpdate.clear();
    }
    void render() override {}
    void onActivate() override { mJournal.push_back(mName + ".activate"); }
    void onDeactivate() override {
        mJournal.push_back(mName + ".deactivate");
        unload();
    }
    std::string getName() const override { return mName; }

    std::vector<std::string> mSwitchOnUpdate;

private:
    std::string mName;
    std::vector<std::string>& mJournal;
};

std::vector<std::string> gTutorialJournal;
void recordTutorials(float) { gTutorialJournal.push_back("tutorials"); }

// The manager logs; its log goes to a folder of its own.
struct LogHome {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd{dir.path()};
    QV::LogSystem log;
};

class GameStateManagerTest : public ::testing::Test {
protected:
    LogHome home;

    void SetUp() override {
        commands = std::make_unique<QV::LexBindedFunctionManager>();
        manager = new GameStateManager(1280, 720);
        a = new RecordingState("A", journal, true);
        b = new RecordingState("B", journal);
        manager->registerState(a);
        manager->registerState(b);
        gTutorialJournal.clear();
    }
    void TearDown() override {
        delete manager;
        commands.reset();
    }

    std::unique_ptr<QV::LexBindedFunctionManager> commands;
    GameStateManager* manager = nullptr;
    RecordingState* a = nullptr;
    RecordingState* b = nullptr;
    std::vector<std::string> journal;
};

TEST_F(GameStateManagerTest, FirstRegistrationIsCurrentWithoutActivationAndNamesKeepTheirFirstState) {
    EXPECT_EQ(manager->getCurrentState(), a);
    EXPECT_TRUE(journal.empty());
    RecordingState* second = new RecordingState("A", journal);
    manager->registerState(second);
    EXPECT_EQ(manager->findState("A"), a);
    delete second;  // not in the table: deleting it leaves A registered
    EXPECT_EQ(manager->findState("A"), a);
}

TEST_F(GameStateManagerTest, SwitchesOutsideAnUpdateTakeEffectAtOnce) {
    manager->setState("B");
    EXPECT_EQ(manager->getCurrentState(), b);
    EXPECT_EQ(journal, (std::vector<std::string>{"A.deactivate", "A.unload", "B.load"}));

    journal.clear();
    manager->setState("NoSuchState");
    EXPECT_EQ(manager->getCurrentState(), b);
    EXPECT_TRUE(journal.empty());
}

TEST_F(GameStateManagerTest, SettingTheCurrentStateAgainActivatesItWithoutDeactivating) {
    manager->setState("A");
    EXPECT_EQ(journal, (std::vector<std::string>{"A.activate"}));
    journal.clear();
    manager->setState("B");
    journal.clear();
    manager->setState("B");  // loaded now: activated again on the main thread
    EXPECT_EQ(journal, (std::vector<std::string>{"B.activate"}));
}

TEST_F(GameStateManagerTest, ASwitchDuringAnUpdateWaitsForTheNextFrameWhichUpdatesNothing) {
    a->mSwitchOnUpdate = {"B"};
    manager->step(0.016f, recordTutorials);
    EXPECT_EQ(manager->getCurrentState(), a);
    EXPECT_EQ(manager->getPendingState(), b);
    EXPECT_EQ(journal, (std::vector<std::string>{"A.update"}));
    EXPECT_EQ(gTutorialJournal.size(), 1u);

    journal.clear();
    manager->step(0.016f, recordTutorials);  // the switch frame
    EXPECT_EQ(manager->getCurrentState(), b);
    EXPECT_EQ(manager->getPendingState(), nullptr);
    EXPECT_EQ(journal, (std::vector<std::string>{"A.deactivate", "A.unload", "B.load"}));
    EXPECT_EQ(gTutorialJournal.size(), 1u);

    journal.clear();
    manager->step(0.016f, recordTutorials);
    EXPECT_EQ(journal, (std::vector<std::string>{"B.update"}));
    EXPECT_EQ(gTutorialJournal.size(), 2u);
}

TEST_F(GameStateManagerTest, TwoSwitchesInOneUpdateLeaveOnlyTheSecond) {
    RecordingState* c = new RecordingState("C", journal);
    manager->registerState(c);
    a->mSwitchOnUpdate = {"B", "C"};
    manager->step(0.016f);
    EXPECT_EQ(manager->getPendingState(), c);
    journal.clear();
    manager->step(0.016f);
    EXPECT_EQ(manager->getCurrentState(), c);
    EXPECT_EQ(journal, (std::vector<std::string>{"A.deactivate", "A.unload", "C.load"}));
}

TEST_F(GameStateManagerTest, AnUnloadedCurrentStateIsNotUpdated) {
    manager->setState("B");
    b->unload();
    journal.clear();
    manager->step(0.016f, recordTutorials);
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(gTutorialJournal.empty());
}

TEST_F(GameStateManagerTest, TheSetStateCommandSwitchesByName) {
    std::unique_ptr<QV::LexBindedFunction> command(commands->bindCommand("setState:B"));
    ASSERT_NE(command, nullptr);
    command->call();
    EXPECT_EQ(manager->getCurrentState(), b);
}

TEST_F(GameStateManagerTest, DeletingTheManagerDeletesEveryStateAndFreesTheCommand) {
    delete manager;
    manager = nullptr;
    std::sort(journal.begin(), journal.end());
    EXPECT_EQ(journal, (std::vector<std::string>{"A.deleted", "B.deleted"}));
    EXPECT_EQ(commands->findBinder("setState"), nullptr);
}

TEST_F(GameStateManagerTest, DeletingTheCurrentStateLeavesNoDanglingCurrentState) {
    delete a;
    EXPECT_EQ(manager->getCurrentState(), nullptr);
    manager->step(0.016f);  // nothing to update, nothing to crash on
    EXPECT_EQ(manager->findState("A"), nullptr);
}

// A mode that writes the state hooks it hears into the journal.
class RecordingMode : public Mode {
public:
    explicit RecordingMode(std::vector<std::string>& journal) : mJournal(journal) {}
    void deactivate() override {
        mJournal.push_back("mode.deactivate");
        Mode::deactivate();
    }
    void onStateEnded(const std::string& name) override { mJournal.push_back("mode.ended:" + name); }
    void writeSection(AE::DataStream&) override {}
    bool readSection(AE::DataStream&) override { return true; }
    bool isLevelRunning() override { return false; }
    bool createBonusChip(MatchLines&) override { return false; }
    bool tryFuseBonusChips(Chip*, Chip*) override { return false; }

private:
    std::vector<std::string>& mJournal;
};

TEST_F(GameStateManagerTest, TheCurrentModeHearsEveryStateLeftAndStopsOnTheWayToTheMenu) {
    PlatformConfig config(1, {});
    GameProperties properties(home.dir.file("save"));
    RecordingMode mode(journal);
    mode.activate();
    ASSERT_EQ(Mode::current(), &mode);
    RecordingState* menu = new RecordingState("MainMenu", journal);
    manager->registerState(menu);

    manager->setState("A");  // the current state again still ends for the mode
    EXPECT_EQ(journal, (std::vector<std::string>{"mode.ended:A", "A.activate"}));
    journal.clear();
    manager->setState("B");
    EXPECT_EQ(journal, (std::vector<std::string>{"A.deactivate", "A.unload", "mode.ended:A", "B.load"}));
    journal.clear();
    manager->setState("MainMenu");
    EXPECT_EQ(journal, (std::vector<std::string>{"B.deactivate", "B.unload", "mode.ended:B", "MainMenu.load",
                                                 "mode.deactivate"}));
    EXPECT_EQ(Mode::current(), nullptr);
    journal.clear();
    manager->setState("B");  // no current mode: nobody is told
    EXPECT_EQ(journal, (std::vector<std::string>{"MainMenu.deactivate", "MainMenu.unload", "B.load"}));
}

TEST(GameStateManagerDesignSize, FollowsTheConfiguredResolutionOrTheSquareDefaults) {
    LogHome home;
    QV::LexBindedFunctionManager commands;
    struct Case {
        int width, height, portrait;
        float expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {1280, 720, 0, 1280, 720},   {1280, 720, 1, 1280, 720},   {720, 1280, 1, 720, 1280},
        {1024, 1024, 0, 1726, 970},  {1024, 1024, 1, 970, 1726},
    };
    for (const Case& c : cases) {
        GameStateManager manager(c.width, c.height);
        manager.setOrientation(c.portrait);
        const QV::Vector2<float> size = manager.getDesignScreenSize();
        EXPECT_EQ(size.x, c.expectedWidth) << c.width << "x" << c.height << " portrait " << c.portrait;
        EXPECT_EQ(size.y, c.expectedHeight) << c.width << "x" << c.height << " portrait " << c.portrait;
    }
}

}  // namespace
