#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/run_settings.h"
#include "platform/scripted_input_source.h"

namespace {

using QV::Platform::ScriptedInputSource;
using Kind = ScriptedInputSource::Action::Kind;

TEST(ScriptActions, AreTakenFrameByFrameInScriptOrder) {
    ScriptedInputSource s;
    std::string error;
    ASSERT_TRUE(s.parse("5 close\n"
                        "2 screenshot shot.png\n"
                        "2 command   activateMode : MainMode \n"
                        "3 focus lost\n"
                        "3 focus gained\n"
                        "3 button btnPlay\n"
                        "5 cell 2 5\n"
                        "5 swap 2 5 3 5\n"
                        "0 click 1 2\n",
                        &error))
        << error;
    EXPECT_TRUE(s.takeActions(1).empty());
    std::vector<ScriptedInputSource::Action> due = s.takeActions(2);
    ASSERT_EQ(due.size(), 2u);
    EXPECT_EQ(due[0].kind, Kind::Screenshot);
    EXPECT_EQ(due[0].text, "shot.png");
    EXPECT_EQ(due[1].kind, Kind::Command);
    EXPECT_EQ(due[1].text, "activateMode : MainMode");
    due = s.takeActions(4);  // frame 3's, taken late
    ASSERT_EQ(due.size(), 3u);
    EXPECT_EQ(due[0].kind, Kind::FocusLost);
    EXPECT_EQ(due[1].kind, Kind::FocusGained);
    EXPECT_EQ(due[2].kind, Kind::Button);
    EXPECT_EQ(due[2].text, "btnPlay");
    EXPECT_FALSE(s.finished());  // the close and the click are still ahead
    due = s.takeActions(5);
    ASSERT_EQ(due.size(), 3u);
    EXPECT_EQ(due[0].kind, Kind::Close);
    EXPECT_EQ(due[1].kind, Kind::Cell);
    EXPECT_EQ(due[1].text, "2 5");
    EXPECT_EQ(due[2].kind, Kind::Swap);
    EXPECT_EQ(due[2].text, "2 5 3 5");
}

TEST(ScriptActions, BadLinesNameTheProblemAndAddNothing) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"0 screenshot", "line 1: screenshot needs one file name"},
        {"0 screenshot a.png b.png", "screenshot needs one file name"},
        {"0 close now", "close takes nothing"},
        {"0 focus", "focus needs lost or gained"},
        {"0 focus away", "focus needs lost or gained"},
        {"0 command", "command needs a command line"},
        {"0 command   ", "command needs a command line"},
        {"0 button", "button needs one widget id"},
        {"1 close\n0 button a b", "line 2: button needs one widget id"},
        {"0 cell 1", "cell needs a column and a row"},
        {"0 cell 1 x", "cell needs cell numbers"},
        {"0 swap 1 2 3", "swap needs two cells"},
        {"0 swap 1 2 3 -4", "swap needs cell numbers"},
    };
    for (const Case& c : cases) {
        ScriptedInputSource s;
        std::string error;
        EXPECT_FALSE(s.parse(c.text, &error)) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " -> " << error;
        EXPECT_TRUE(s.finished()) << c.text;
    }
}

TEST(RunSettings, FixedFrameTimeAndCounterFromTheirTexts) {
    struct Case {
        const char* dt;
        const char* counter;
        double fixed;
        bool fixedCounter;
        unsigned long long value;
        bool error;
    };
    const Case cases[] = {
        {nullptr, nullptr, 0.0, false, 0, false},
        {"", "", 0.0, false, 0, false},
        {"0.02", "12345", 0.02, true, 12345, false},
        {"1", "0", 1.0, true, 0, false},
        {"0", nullptr, 0.0, false, 0, true},
        {"-0.1", nullptr, 0.0, false, 0, true},
        {"2", nullptr, 0.0, false, 0, true},
        {"fast", nullptr, 0.0, false, 0, true},
        {"0.02s", nullptr, 0.0, false, 0, true},
        {"nan", nullptr, 0.0, false, 0, true},
        {nullptr, "-5", 0.0, false, 0, true},
        {nullptr, "12x", 0.0, false, 0, true},
        {nullptr, "99999999999999999999999", 0.0, false, 0, true},
        {nullptr, "18446744073709551615", 0.0, true, 18446744073709551615ULL, false},
    };
    for (const Case& c : cases) {
        const QV::Platform::RunSettings s = QV::Platform::parseRunSettings(c.dt, c.counter);
        const std::string label = std::string(c.dt ? c.dt : "(unset)") + " / " + (c.counter ? c.counter : "(unset)");
        EXPECT_DOUBLE_EQ(s.fixedFrameTime, c.fixed) << label;
        EXPECT_EQ(s.fixedCounter, c.fixedCounter) << label;
        if (c.fixedCounter) EXPECT_EQ(s.counterValue, c.value) << label;
        EXPECT_EQ(!s.errors.empty(), c.error) << label;
    }
}

}  // namespace
