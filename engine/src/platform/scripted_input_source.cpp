#include "platform/scripted_input_source.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/keyboard_layout.h"
#include "platform/window.h"

namespace QV::Platform {

namespace {

bool parseInt(const std::string& text, long low, long high, int32_t* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return false;
    *out = static_cast<int32_t>(value);
    return true;
}

}  // namespace

void ScriptedInputSource::insert(std::vector<Event>& list, const Event& event) {
    // Stable by frame: events of one frame keep the order they were given in.
    auto at = std::upper_bound(list.begin(), list.end(), event.frame,
                               [](int32_t frame, const Event& e) { return frame < e.frame; });
    list.insert(at, event);
}

void ScriptedInputSource::moveMouse(int32_t frame, int32_t x, int32_t y) {
    insert(mMouseEvents, {frame, Kind::Move, x, y});
}

void ScriptedInputSource::pressButton(int32_t frame, Button button) {
    insert(mMouseEvents, {frame, Kind::ButtonDown, static_cast<int32_t>(button), 0});
}

void ScriptedInputSource::releaseButton(int32_t frame, Button button) {
    insert(mMouseEvents, {frame, Kind::ButtonUp, static_cast<int32_t>(button), 0});
}

void ScriptedInputSource::click(int32_t frame, int32_t x, int32_t y) {
    moveMouse(frame, x, y);
    pressButton(frame, Button::Left);
    releaseButton(frame + 1, Button::Left);
}

void ScriptedInputSource::turnWheel(int32_t frame, int32_t notches) {
    insert(mMouseEvents, {frame, Kind::Wheel, notches, 0});
}

void ScriptedInputSource::pressKey(int32_t frame, uint8_t virtualKey) {
    insert(mKeyEvents, {frame, Kind::KeyDown, virtualKey, 0});
}

void ScriptedInputSource::releaseKey(int32_t frame, uint8_t virtualKey) {
    insert(mKeyEvents, {frame, Kind::KeyUp, virtualKey, 0});
}

void ScriptedInputSource::tapKey(int32_t frame, uint8_t virtualKey) {
    pressKey(frame, virtualKey);
    releaseKey(frame + 1, virtualKey);
}

void ScriptedInputSource::addAction(const Action& action) {
    auto at = std::upper_bound(mActions.begin(), mActions.end(), action.frame,
                               [](int32_t frame, const Action& a) { return frame < a.frame; });
    mActions.insert(at, action);
}

std::vector<ScriptedInputSource::Action> ScriptedInputSource::takeActions(int32_t frame) {
    auto end = std::upper_bound(mActions.begin(), mActions.end(), frame,
                                [](int32_t f, const Action& a) { return f < a.frame; });
    std::vector<Action> due(mActions.begin(), end);
    mActions.erase(mActions.begin(), end);
    return due;
}

void ScriptedInputSource::resizeWindow(int32_t frame, int32_t width, int32_t height) {
    insert(mMouseEvents, {frame, Kind::Resize, width, height});
}

MouseSample ScriptedInputSource::readMouse() {
    const int32_t frame = mMouseFrame++;
    bool changed[2] = {false, false};
    mMouse.wheel = 0;
    for (auto it = mMouseEvents.begin(); it != mMouseEvents.end() && it->frame <= frame;) {
        const Event& e = *it;
        if (e.kind == Kind::ButtonDown || e.kind == Kind::ButtonUp) {
            const int index = e.a == static_cast<int32_t>(Button::Right) ? 1 : 0;
            if (changed[index]) {  // keep it for the next frame
                ++it;
                continue;
            }
            changed[index] = true;
            (index ? mMouse.right : mMouse.left) = e.kind == Kind::ButtonDown;
        } else if (e.kind == Kind::Move) {
            mMouse.x = e.a;
            mMouse.y = e.b;
        } else if (e.kind == Kind::Wheel) {
            mMouse.wheel += e.a * 120;
        } else if (e.kind == Kind::Resize) {
            // The window system reports the new size as a resize event.
            resizeMainWindow(e.a, e.b);
        }
        it = mMouseEvents.erase(it);
    }
    return mMouse;
}

void ScriptedInputSource::readKeyboard(uint8_t keys[256]) {
    const int32_t frame = mKeyFrame++;
    bool changed[256] = {};
    std::vector<uint8_t> wentDown;
    for (auto it = mKeyEvents.begin(); it != mKeyEvents.end() && it->frame <= frame;) {
        const uint8_t key = static_cast<uint8_t>(it->a);
        if (changed[key]) {
            ++it;
            continue;
        }
        changed[key] = true;
        const bool down = it->kind == Kind::KeyDown;
        if (down && !(mKeys[key] & 0x80)) wentDown.push_back(key);
        mKeys[key] = down ? 0x80 : 0;
        it = mKeyEvents.erase(it);
    }
    // Translated with the frame's final Shift and Caps Lock, as the window system would.
    for (uint8_t key : wentDown) {
        const char16_t c = translateVirtualKey(key, mKeys);
        if (c != 0) mText.push_back(static_cast<char>(c));  // the US layout types ASCII only
    }
    std::memcpy(keys, mKeys, sizeof(mKeys));
}

std::string ScriptedInputSource::readText() {
    std::string text;
    text.swap(mText);
    return text;
}

bool ScriptedInputSource::parse(const std::string& text, std::string* error) {
    ScriptedInputSource parsed;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    auto fail = [&](const std::string& what) {
        if (error) *error = "input script line " + std::to_string(lineNumber) + ": " + what;
        return false;
    };
    constexpr long kMaxFrame = 100000000;
    while (std::getline(lines, line)) {
        ++lineNumber;
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty() || w[0][0] == '#') continue;
        int32_t frame = 0;
        if (!parseInt(w[0], 0, kMaxFrame, &frame)) return fail("bad frame '" + w[0] + "'");
        if (w.size() < 2) return fail("missing event");
        const std::string& kind = w[1];
        auto args = [&](size_t count) { return w.size() == 2 + count; };
        int32_t a = 0, b = 0;
        if (kind == "move" || kind == "click") {
            if (!args(2) || !parseInt(w[2], INT_MIN, INT_MAX, &a) || !parseInt(w[3], INT_MIN, INT_MAX, &b))
                return fail(kind + " needs x and y");
            if (kind == "move") parsed.moveMouse(frame, a, b);
            else parsed.click(frame, a, b);
        } else if (kind == "press" || kind == "release") {
            if (!args(1) || (w[2] != "left" && w[2] != "right")) return fail(kind + " needs left or right");
            Button button = w[2] == "left" ? Button::Left : Button::Right;
            if (kind == "press") parsed.pressButton(frame, button);
            else parsed.releaseButton(frame, button);
        } else if (kind == "resize") {
            if (!args(2) || !parseInt(w[2], 1, 16384, &a) || !parseInt(w[3], 1, 16384, &b))
                return fail("resize needs width and height (1..16384)");
            parsed.resizeWindow(frame, a, b);
        } else if (kind == "wheel") {
            if (!args(1) || !parseInt(w[2], -1000, 1000, &a)) return fail("wheel needs notches (-1000..1000)");
            parsed.turnWheel(frame, a);
        } else if (kind == "keydown" || kind == "keyup" || kind == "key") {
            if (!args(1) || !parseInt(w[2], 0, 255, &a)) return fail(kind + " needs a virtual-key code (0..255)");
            const uint8_t key = static_cast<uint8_t>(a);
            if (kind == "keydown") parsed.pressKey(frame, key);
            else if (kind == "keyup") parsed.releaseKey(frame, key);
            else parsed.tapKey(frame, key);
        } else if (kind == "screenshot") {
            if (!args(1)) return fail("screenshot needs one file name");
            parsed.addAction({frame, Action::Kind::Screenshot, w[2]});
        } else if (kind == "close") {
            if (!args(0)) return fail("close takes nothing");
            parsed.addAction({frame, Action::Kind::Close, std::string()});
        } else if (kind == "focus") {
            if (!args(1) || (w[2] != "lost" && w[2] != "gained")) return fail("focus needs lost or gained");
            parsed.addAction({frame, w[2] == "lost" ? Action::Kind::FocusLost : Action::Kind::FocusGained,
                              std::string()});
        } else if (kind == "command") {
            // The rest of the line, as a UI description would hold it.
            const size_t at = line.find("command");
            std::string text = line.substr(at + 7);
            const size_t first = text.find_first_not_of(" \t\r");
            const size_t last = text.find_last_not_of(" \t\r");
            if (first == std::string::npos) return fail("command needs a command line");
            parsed.addAction({frame, Action::Kind::Command, text.substr(first, last - first + 1)});
        } else if (kind == "cell" || kind == "swap") {
            const size_t count = kind == "cell" ? 2 : 4;
            if (!args(count)) return fail(kind + (count == 2 ? " needs a column and a row" : " needs two cells"));
            std::string cells;
            for (size_t i = 0; i < count; ++i) {
                if (!parseInt(w[2 + i], 0, 255, &a)) return fail(kind + " needs cell numbers (0..255)");
                cells += (i ? " " : "") + std::to_string(a);
            }
            parsed.addAction({frame, kind == "cell" ? Action::Kind::Cell : Action::Kind::Swap, cells});
        } else if (kind == "button") {
            if (!args(1)) return fail("button needs one widget id");
            parsed.addAction({frame, Action::Kind::Button, w[2]});
        } else {
            return fail("unknown event '" + kind + "'");
        }
    }
    for (const Event& e : parsed.mMouseEvents) insert(mMouseEvents, e);
    for (const Event& e : parsed.mKeyEvents) insert(mKeyEvents, e);
    for (const Action& a : parsed.mActions) addAction(a);
    return true;
}

}  // namespace QV::Platform
