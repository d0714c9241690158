#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/input_source.h"

namespace QV::Platform {

// Input from a frame-indexed list of events, for tests and headless runs.
// The mouse and the keyboard each count their own reads: the n-th read
// (from 0) applies the events of frame n and any earlier ones still pending.
// A control never changes twice in one frame: a release scheduled on the
// frame of its press moves to the next frame, so no click goes unseen.
class ScriptedInputSource : public InputSource {
public:
    enum class Button { Left, Right };

    // What a script asks of the program itself rather than of the devices;
    // the main loop takes them frame by frame.
    struct Action {
        enum class Kind { Screenshot, Close, FocusLost, FocusGained, Command, Button, Cell, Swap };
        int32_t frame = 0;
        Kind kind = Kind::Close;
        std::string text;  // the file, the command line, the widget id or the cells' numbers
    };

    void moveMouse(int32_t frame, int32_t x, int32_t y);
    void pressButton(int32_t frame, Button button);
    void releaseButton(int32_t frame, Button button);
    // Press at the point in one frame, release in the next.
    void click(int32_t frame, int32_t x, int32_t y);
    void turnWheel(int32_t frame, int32_t notches);
    void pressKey(int32_t frame, uint8_t virtualKey);
    void releaseKey(int32_t frame, uint8_t virtualKey);
    // Down in one frame, up in the next.
    void tapKey(int32_t frame, uint8_t virtualKey);
    // Resizes the application's window as a user dragging its edge would.
    void resizeWindow(int32_t frame, int32_t width, int32_t height);

    // Adds the events of a script, one per line:
    //   <frame> move <x> <y> | press left|right | release left|right | click <x> <y>
    //   <frame> wheel <notches> | keydown <vk> | keyup <vk> | key <vk>
    //   <frame> screenshot <file.png> | close | focus lost|gained
    //   <frame> command <command line> | button <widget id>
    //   <frame> cell <column> <row> | swap <c1> <r1> <c2> <r2>   (the game maps cells to points)
    //   <frame> resize <width> <height>
    // Blank lines and lines starting with '#' are skipped. On an error nothing
    // is added and the message names the line.
    bool parse(const std::string& text, std::string* error);

    // True when every scheduled event has been applied.
    bool finished() const { return mMouseEvents.empty() && mKeyEvents.empty() && mActions.empty(); }

    void addAction(const Action& action);
    // Removes and returns, in script order, the actions of every frame up to this one.
    std::vector<Action> takeActions(int32_t frame);

    MouseSample readMouse() override;
    void readKeyboard(uint8_t keys[256]) override;
    // A script types as a US keyboard would: each key that went down in the
    // frame of the last readKeyboard adds its character (with Shift and Caps Lock).
    std::string readText() override;

private:
    enum class Kind { Move, ButtonDown, ButtonUp, Wheel, KeyDown, KeyUp, Resize };
    struct Event {
        int32_t frame;
        Kind kind;
        int32_t a;
        int32_t b;
    };

    static void insert(std::vector<Event>& list, const Event& event);

    std::vector<Event> mMouseEvents;
    std::vector<Event> mKeyEvents;
    std::vector<Action> mActions;
    int32_t mMouseFrame = 0;
    int32_t mKeyFrame = 0;
    MouseSample mMouse;
    uint8_t mKeys[256] = {};
    std::string mText;  // UTF-8, typed since the last readText
};

}  // namespace QV::Platform
