#pragma once

#include "keyboard_device.h"
#include "mouse_device.h"
#include "singleton.h"
#include "vector2.h"

class Application;

namespace QV {

namespace Platform {
class InputSource;
class ScriptedInputSource;
}

// Owns the mouse and the keyboard state; both are refreshed once per frame.
class InputManager : public Singleton<InputManager> {
public:
    explicit InputManager(Application* application);
    ~InputManager() override;

    // Makes the devices once the window exists. They read the window system,
    // or the script named by QV_INPUT_SCRIPT when that is set (a script that
    // cannot be read or parsed is fatal).
    void init();
    // Makes the devices on a given source, which the manager then owns.
    void init(Platform::InputSource* source);

    MouseDevice* getMouse() const { return mMouse; }
    // The input script driving this run; null when the devices read the window system.
    Platform::ScriptedInputSource* getScript() const;
    KeyboardDevice* getKeyboard() const { return mKeyboard; }

    // The frame's input steps.
    void pollMouse();
    void updateKeyboard();

    // The mouse position in workspace coordinates (through the render
    // system's window fit, when one exists), also cached in the mouse.
    Vector2<int> getMousePosition();
    // The left (primary) button: down now / went down in this poll / went up in this poll.
    bool isMouseDown() const;
    bool isMousePressed() const;
    bool isMouseReleased() const;

private:
    void releaseDevices();

    Application* mApplication;
    Platform::InputSource* mSource = nullptr;
    // A script drives the devices: presses are logged with both positions.
    bool mScripted = false;
    KeyboardDevice* mKeyboard = nullptr;
    MouseDevice* mMouse = nullptr;
};

}  // namespace QV
