#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/input_source.h"

namespace {

using namespace QV::Platform;

TEST(SystemInput, ScancodeTable) {
    struct Case {
        SDL_Scancode scancode;
        int virtualKey;
    } cases[] = {
        {SDL_SCANCODE_A, 0x41},      {SDL_SCANCODE_Z, 0x5A},        {SDL_SCANCODE_1, 0x31},
        {SDL_SCANCODE_0, 0x30},      {SDL_SCANCODE_ESCAPE, 27},     {SDL_SCANCODE_RETURN, 0x0D},
        {SDL_SCANCODE_KP_ENTER, 0x0D}, {SDL_SCANCODE_BACKSPACE, 0x08}, {SDL_SCANCODE_LEFT, 0x25},
        {SDL_SCANCODE_DOWN, 0x28},   {SDL_SCANCODE_F1, 0x70},       {SDL_SCANCODE_F12, 0x7B},
        {SDL_SCANCODE_KP_0, 0x60},   {SDL_SCANCODE_KP_9, 0x69},     {SDL_SCANCODE_LSHIFT, 0xA0},
        {SDL_SCANCODE_RALT, 0xA5},   {SDL_SCANCODE_MINUS, 0xBD},    {SDL_SCANCODE_APOSTROPHE, 0xDE},
        {SDL_SCANCODE_UNKNOWN, 0},   {SDL_SCANCODE_KP_EQUALSAS400, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(virtualKeyOfScancode(c.scancode), c.virtualKey) << c.scancode;
    EXPECT_EQ(virtualKeyOfScancode(-1), 0);
    EXPECT_EQ(virtualKeyOfScancode(SDL_NUM_SCANCODES), 0);
    // No scancode reaches the mouse-button and cancel entries.
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
        int key = virtualKeyOfScancode(s);
        EXPECT_TRUE(key == 0 || key > 3) << s;
    }
}

TEST(SystemInput, KeyStateSetsGenericModifiersAndToggles) {
    struct Case {
        std::vector<SDL_Scancode> down;
        bool caps, num;
        std::vector<int> set;  // every non-zero entry, as code*0x100 + value
    } cases[] = {
        {{SDL_SCANCODE_LSHIFT}, false, false, {0x1080, 0xA080}},
        {{SDL_SCANCODE_RSHIFT, SDL_SCANCODE_LSHIFT}, false, false, {0x1080, 0xA080, 0xA180}},
        {{SDL_SCANCODE_RCTRL}, false, false, {0x1180, 0xA380}},
        {{SDL_SCANCODE_LALT, SDL_SCANCODE_Q}, false, false, {0x1280, 0x5180, 0xA480}},
        {{SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER}, false, false, {0x0D80}},
        {{}, true, true, {0x1401, 0x9001}},
        {{SDL_SCANCODE_CAPSLOCK}, true, false, {0x1481}},
    };
    for (const Case& c : cases) {
        uint8_t scancodes[SDL_NUM_SCANCODES] = {};
        for (SDL_Scancode s : c.down) scancodes[s] = 1;
        uint8_t keys[256];
        std::memset(keys, 0xEE, sizeof(keys));
        virtualKeyState(scancodes, SDL_NUM_SCANCODES, c.caps, c.num, keys);
        std::vector<int> set;
        for (int k = 0; k < 256; ++k)
            if (keys[k]) set.push_back(k * 0x100 + keys[k]);
        EXPECT_EQ(set, c.set);
    }
}

TEST(SystemInput, PollReadsPositionAndSummedWheel) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);  // no display needed
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    InputSource* source = createSystemInputSource();
    SDL_Window* window = SDL_CreateWindow("input", 0, 0, 200, 100, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_WarpMouseInWindow(window, 30, 40);
    SDL_PumpEvents();
    onMouseWheelEvent(1);
    onMouseWheelEvent(2);
    onMouseWheelEvent(-4);
    MouseSample first = source->readMouse();
    MouseSample second = source->readMouse();
    EXPECT_EQ(first.wheel, -120);
    EXPECT_EQ(first.x, 30);
    EXPECT_EQ(first.y, 40);
    EXPECT_FALSE(first.left || first.right);
    EXPECT_EQ(second.wheel, 0);
    uint8_t keys[256];
    source->readKeyboard(keys);  // no key down on a fresh video subsystem
    for (int k = 0; k < 256; ++k) {
        if (k != 0x14 && k != 0x90) {
            EXPECT_EQ(keys[k] & 0x80, 0) << k;
        }
    }
    delete source;
    SDL_DestroyWindow(window);
    SDL_Quit();
}

TEST(SystemInput, TypedTextIsHandedOutOnceAndBounded) {
    InputSource* source = createSystemInputSource();
    onTextInputEvent("\xC3\xA9t\xC3\xA9");
    onTextInputEvent(" \xE2\x82\xAC");
    EXPECT_EQ(source->readText(), "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(source->readText(), "");
    // Text nobody reads stops piling up.
    const std::string line(100, 'x');
    for (int i = 0; i < 50; ++i) onTextInputEvent(line.c_str());
    EXPECT_LE(source->readText().size(), 1024u);
    delete source;
}

}  // namespace
