#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "flow/game_state_manager.h"
#include "input_manager.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "flow/logo_game_state.h"
#include "support/temp_dir.h"
#include "platform/scripted_input_source.h"

namespace {

class MenuStandIn : public IGameState {
public:
    void load() override {
        ++loads;
        setLoaded(true);
    }
    void unload() override { setLoaded(false); }
    void update(float) override {}
    void render() override {}
    std::string getName() const override { return "MainMenu"; }
    int loads = 0;
};

std::vector<LogoItem> items(std::initializer_list<std::pair<float, uint32_t>> list) {
    std::vector<LogoItem> result;
    for (const auto& [duration, skippable] : list) {
        LogoItem item;
        item.duration = duration;
        item.skippable = skippable;
        result.push_back(item);
    }
    return result;
}

class LogoTest : public ::testing::Test {
protected:
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd{dir.path()};
    QV::LogSystem log;

    void SetUp() override {
        commands = std::make_unique<QV::LexBindedFunctionManager>();
        input = std::make_unique<QV::InputManager>(nullptr);
        script = new QV::Platform::ScriptedInputSource();
        input->init(script);
        manager = std::make_unique<GameStateManager>(1280, 720);
        logo = new LogoGameState();
        menu = new MenuStandIn();
        manager->registerState(logo);
        manager->registerState(menu);
    }
    void TearDown() override {
        manager.reset();
        input.reset();
        commands.reset();
    }

    // One frame: the input poll, then the state step.
    void frame(float dt) {
        ++polls;
        input->pollMouse();
        manager->step(dt);
    }

    std::unique_ptr<QV::LexBindedFunctionManager> commands;
    std::unique_ptr<QV::InputManager> input;
    QV::Platform::ScriptedInputSource* script = nullptr;
    std::unique_ptr<GameStateManager> manager;
    LogoGameState* logo = nullptr;
    MenuStandIn* menu = nullptr;
    int polls = 0;
};

TEST_F(LogoTest, EachItemShowsForJustOverItsDurationThenTheMenuFollows) {
    logo->setItems(items({{2.0f, 0}, {1.0f, 0}}));
    int frames = 0;
    while (logo->currentIndex() == 0 && frames < 1000) {
        frame(0.25f);
        ++frames;
    }
    EXPECT_EQ(frames, 9);  // 2.0 s is not yet past 2 s
    while (manager->getCurrentState() != menu && frames < 1000) {
        frame(0.25f);
        ++frames;
    }
    // Item 2 passes its second after 5 frames; the switch asked then is made one frame later.
    EXPECT_EQ(frames, 15);
    EXPECT_EQ(menu->loads, 1);
    EXPECT_FALSE(logo->isLoaded());
}

TEST_F(LogoTest, AClickSkipsOnlySkippableItems) {
    logo->setItems(items({{5.0f, 0}, {5.0f, 0x10}, {5.0f, 1}}));
    script->click(1, 10, 10);  // during the first item: not skippable
    script->click(5, 10, 10);
    frame(0.1f);
    frame(0.1f);
    frame(0.1f);
    EXPECT_EQ(logo->currentIndex(), 0u);
    for (int i = 0; i < 60; ++i) frame(0.1f);  // past the first item's 5 s
    EXPECT_EQ(logo->currentIndex(), 1u);
    const float before = logo->items()[1].elapsed;
    script->click(polls, 10, 10);  // the next poll
    frame(0.01f);
    EXPECT_EQ(logo->currentIndex(), 2u);  // skipped, not timed out
    EXPECT_FLOAT_EQ(logo->items()[1].elapsed, before);
}

TEST_F(LogoTest, NoItemsGoStraightToTheMenu) {
    logo->setItems({});
    frame(0.016f);  // asks for the menu
    frame(0.016f);  // the switch
    EXPECT_EQ(manager->getCurrentState(), menu);
}

TEST(LogoFade, FadesInAndOutOverOneSecond) {
    struct Case {
        float elapsed, duration, fade;
    };
    const Case cases[] = {
        {0.0f, 3.0f, 0.0f}, {0.5f, 3.0f, 0.5f}, {1.0f, 3.0f, 1.0f}, {1.5f, 3.0f, 1.0f},
        {2.5f, 3.0f, 0.5f}, {3.0f, 3.0f, 0.0f}, {0.75f, 1.5f, 0.5625f},  // below 2 s: never full
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(LogoGameState::fadeFor(c.elapsed, c.duration), c.fade) << c.elapsed << " of " << c.duration;
}

TEST(LogoDescription, ReadsItemsInOrderWithTheirDefaults) {
    const char* xml =
        "<root>"
        "<logo file='a_png' duration='2.5' esc='1'/>"
        "<!-- a comment is no item -->"
        "<x file='s' table='t' esc='0x1F'/>"
        "<logo duration='bad' esc='0X0'/>"
        "<logo esc='-3'/>"
        "</root>";
    std::vector<LogoEntry> entries;
    ASSERT_TRUE(parseLogoDescription(xml, std::strlen(xml), entries));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].file, "a_png");
    EXPECT_FLOAT_EQ(entries[0].duration, 2.5f);
    EXPECT_EQ(entries[0].skippable, 1u);
    EXPECT_EQ(entries[1].table, "t");
    EXPECT_EQ(entries[1].skippable, 0x1Fu);
    EXPECT_FLOAT_EQ(entries[1].duration, 0.0f);
    EXPECT_EQ(entries[2].skippable, 0u);
    EXPECT_FLOAT_EQ(entries[2].duration, 0.0f);
    EXPECT_EQ(entries[3].skippable, 0u);

    const char* empty = "<root/>";
    ASSERT_TRUE(parseLogoDescription(empty, std::strlen(empty), entries));
    EXPECT_TRUE(entries.empty());
    const char* broken = "<root><logo";
    EXPECT_FALSE(parseLogoDescription(broken, std::strlen(broken), entries));
}

}  // namespace
