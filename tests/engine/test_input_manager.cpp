#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "input_manager.h"
#include "platform/scripted_input_source.h"
#include "support/temp_dir.h"

namespace {

using QV::Platform::ScriptedInputSource;
using Button = ScriptedInputSource::Button;

// One frame's view of an accessor pair, as text: "pdr" letters for pressed,
// down, released, '-' where false.
struct Frames {
    std::string left, right, escape;
};

class Input : public testing::Test {
protected:
    Input() : manager(nullptr) {
        script = new ScriptedInputSource();
        manager.init(script);
    }
    void step() {
        manager.pollMouse();
        manager.updateKeyboard();
    }
    static std::string flags(bool pressed, bool down, bool released) {
        return std::string() + (pressed ? 'p' : '-') + (down ? 'd' : '-') + (released ? 'r' : '-') + ' ';
    }
    Frames run(int frames) {
        Frames f;
        for (int i = 0; i < frames; ++i) {
            step();
            QV::MouseDevice* m = manager.getMouse();
            QV::KeyboardDevice* k = manager.getKeyboard();
            f.left += flags(manager.isMousePressed(), manager.isMouseDown(), manager.isMouseReleased());
            f.right += flags(m->isRightPressed(), m->isRightDown(), m->isRightReleased());
            f.escape += flags(k->isKeyPressed(27), k->isKeyDown(27), k->isKeyReleased(27));
        }
        return f;
    }
    QV::InputManager manager;
    ScriptedInputSource* script;  // owned by the manager
};

TEST_F(Input, LeftButtonHeldThreeFrames) {
    script->pressButton(1, Button::Left);
    script->releaseButton(4, Button::Left);
    Frames f = run(6);
    EXPECT_EQ(f.left, "--- pd- -d- -d- --r --- ");
    EXPECT_EQ(f.right, "--- --- --- --- --- --- ");
}

TEST_F(Input, RightButtonAloneLeavesLeftAccessorsAlone) {
    script->pressButton(0, Button::Right);
    script->releaseButton(2, Button::Right);
    Frames f = run(4);
    EXPECT_EQ(f.left, "--- --- --- --- ");
    EXPECT_EQ(f.right, "pd- -d- --r --- ");
}

TEST_F(Input, EscapeReleasedForExactlyOneFrame) {
    script->pressKey(0, 27);
    script->releaseKey(3, 27);
    Frames f = run(5);
    EXPECT_EQ(f.escape, "pd- -d- -d- --r --- ");
}

TEST_F(Input, SameFramePressAndReleaseAreSeenOnSeparateFrames) {
    script->pressButton(1, Button::Left);
    script->releaseButton(1, Button::Left);
    script->pressKey(1, 27);
    script->releaseKey(1, 27);
    script->click(3, 40, 50);
    Frames f = run(6);
    EXPECT_EQ(f.left, "--- pd- --r pd- --r --- ");
    EXPECT_EQ(f.escape, "--- pd- --r --- --- --- ");
    EXPECT_EQ(manager.getMouse()->getPosition(), QV::Vector2<int>(40, 50));
    EXPECT_TRUE(script->finished());
}

TEST_F(Input, WheelIsSummedPerPollAndClearedAfter) {
    script->turnWheel(0, 1);
    script->turnWheel(0, 2);
    script->turnWheel(2, -1);
    std::vector<int> wheel;
    for (int i = 0; i < 4; ++i) {
        step();
        wheel.push_back(manager.getMouse()->getWheel());
    }
    EXPECT_EQ(wheel, (std::vector<int>{360, 0, -120, 0}));
}

TEST_F(Input, MouseAndCancelCodesNeverAppearAsKeys) {
    for (uint8_t key : {1, 2, 3, 4}) script->pressKey(0, key);
    step();
    const uint8_t* keys = manager.getKeyboard()->getCurrentState();
    EXPECT_EQ(keys[1] | keys[2] | keys[3], 0);
    EXPECT_EQ(keys[4], 0x80);
    step();
    EXPECT_EQ(manager.getKeyboard()->getPreviousState()[4], 0x80);
}

TEST_F(Input, MousePositionIsTheWindowPositionWithoutARenderSystem) {
    script->moveMouse(0, 100, 60);
    step();
    EXPECT_EQ(manager.getMousePosition(), QV::Vector2<int>(100, 60));
    EXPECT_EQ(manager.getMouse()->getWorkspacePosition(), QV::Vector2<int>(100, 60));
}

TEST(InputManager, NoDevicesBeforeInit) {
    QV::InputManager manager(nullptr);
    EXPECT_EQ(QV::Singleton<QV::InputManager>::instance(), &manager);
    EXPECT_EQ(manager.getMouse(), nullptr);
    manager.pollMouse();
    manager.updateKeyboard();
    EXPECT_FALSE(manager.isMouseDown());
    EXPECT_EQ(manager.getMousePosition(), QV::Vector2<int>());
}

TEST(ScriptedInput, ParsesScripts) {
    ScriptedInputSource s;
    std::string error;
    ASSERT_TRUE(s.parse("# a comment\n\n0 move 5 -6\n0 press right\n1 release right\n"
                        "  2 wheel -2\n2 click 7 8\n0 key 65\n1 keydown 27\n3 keyup 27\n",
                        &error))
        << error;
    std::vector<std::string> mouse;
    std::string keys;
    for (int i = 0; i < 5; ++i) {
        QV::Platform::MouseSample m = s.readMouse();
        mouse.push_back(std::to_string(m.x) + "," + std::to_string(m.y) + (m.left ? " L" : " -") +
                        (m.right ? "R " : "- ") + std::to_string(m.wheel));
        uint8_t k[256];
        s.readKeyboard(k);
        keys += std::string() + (k[65] ? 'A' : '-') + (k[27] ? 'E' : '-') + ' ';
    }
    EXPECT_EQ(mouse, (std::vector<std::string>{"5,-6 -R 0", "5,-6 -- 0", "7,8 L- -240", "7,8 -- 0", "7,8 -- 0"}));
    EXPECT_EQ(keys, "A- -E -E -- -- ");
    EXPECT_TRUE(s.finished());
}

TEST(ScriptedInput, RejectsBadLinesAndKeepsNothing) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"x move 1 2", "line 1: bad frame 'x'"},
        {"-1 move 1 2", "line 1: bad frame '-1'"},
        {"0 move 1", "line 1: move needs x and y"},
        {"0 move 1 2 3", "line 1: move needs x and y"},
        {"0 move 1 99999999999", "line 1: move needs x and y"},
        {"0 press middle", "line 1: press needs left or right"},
        {"0 wheel 1.5", "line 1: wheel needs notches"},
        {"0 wheel 5000", "line 1: wheel needs notches"},
        {"0 key 256", "line 1: key needs a virtual-key code"},
        {"\n0 key 65\n3", "line 3: missing event"},
        {"0 jump", "line 1: unknown event 'jump'"},
        {"0 resize 0 600", "line 1: resize needs width and height"},
        {"0 resize 800", "line 1: resize needs width and height"},
        {"999999999999 key 1", "line 1: bad frame"},
    };
    for (const Case& c : cases) {
        ScriptedInputSource s;
        std::string error;
        EXPECT_FALSE(s.parse(c.text, &error)) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " -> " << error;
        EXPECT_TRUE(s.finished()) << c.text;
    }
}

TEST(InputManager, ScriptFromEnvironment) {
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("input.txt"), "0 keydown 27\n");
    setenv("QV_INPUT_SCRIPT", dir.file("input.txt").c_str(), 1);
    QV::InputManager manager(nullptr);
    manager.init();
    unsetenv("QV_INPUT_SCRIPT");
    manager.updateKeyboard();
    EXPECT_TRUE(manager.getKeyboard()->isKeyPressed(27));
}

// A script types through the keyboard's typed text, as a US keyboard would:
// once per key going down, with the frame's Shift; keys of no character type nothing.
TEST(InputManager, ScriptedKeysTypeTheirCharacters) {
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("input.txt"),
                      "0 keydown 16\n1 key 65\n1 key 49\n2 keyup 16\n3 keydown 32\n3 key 112\n5 keyup 32\n"
                      "6 key 8\n6 key 13\n7 key 190\n");
    setenv("QV_INPUT_SCRIPT", dir.file("input.txt").c_str(), 1);
    QV::InputManager manager(nullptr);
    manager.init();
    unsetenv("QV_INPUT_SCRIPT");
    std::vector<std::string> typed;
    for (int frame = 0; frame < 9; ++frame) {
        manager.updateKeyboard();
        typed.push_back(manager.getKeyboard()->getTypedText());
    }
    EXPECT_EQ(typed, (std::vector<std::string>{"", "A!", "", " ", "", "", "", ".", ""}));
}

TEST(InputManagerDeathTest, BadScriptIsFatal) {
    qvtest::TempDir dir;
    qvtest::writeFile(dir.file("bad.txt"), "0 key 65\nnonsense\n");
    struct Case {
        std::string path, message;
    } cases[] = {{dir.file("bad.txt"), "input script line 2: bad frame 'nonsense'"},
                 {dir.file("missing.txt"), "Failed to open input script"}};
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                setenv("QV_INPUT_SCRIPT", c.path.c_str(), 1);
                QV::InputManager manager(nullptr);
                manager.init();
            },
            testing::ExitedWithCode(255), c.message);
    }
}

}  // namespace
