#include "input_manager.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "format_string.h"
#include "log_system.h"
#include "platform/input_source.h"
#include "platform/scripted_input_source.h"
#include "render_system.h"
#include "report_assert.h"

namespace QV {

namespace {

Platform::InputSource* makeSource() {
    const char* scriptPath = std::getenv("QV_INPUT_SCRIPT");
    if (!scriptPath || !*scriptPath) return Platform::createSystemInputSource();
    std::ifstream file(scriptPath, std::ios::binary);
    if (!file) QV_FATAL(std::string("Failed to open input script: ") + scriptPath);
    std::ostringstream text;
    text << file.rdbuf();
    auto* source = new Platform::ScriptedInputSource();
    std::string error;
    if (!source->parse(text.str(), &error)) {
        delete source;
        QV_FATAL("Failed to load " + std::string(scriptPath) + ": " + error);
    }
    return source;
}

}  // namespace

InputManager::InputManager(Application* application) : mApplication(application) {}

InputManager::~InputManager() { releaseDevices(); }

void InputManager::init() {
    init(makeSource());
    mScripted = dynamic_cast<Platform::ScriptedInputSource*>(mSource) != nullptr;
}

void InputManager::init(Platform::InputSource* source) {
    releaseDevices();
    mSource = source;
    mScripted = false;
    mMouse = new MouseDevice(mApplication, mSource);
    mMouse->setWorkspacePosition(getMousePosition());
    mKeyboard = new KeyboardDevice(mSource);
}

void InputManager::releaseDevices() {
    delete mMouse;
    mMouse = nullptr;
    delete mKeyboard;
    mKeyboard = nullptr;
    delete mSource;
    mSource = nullptr;
}

void InputManager::pollMouse() {
    if (!mMouse) return;
    mMouse->poll();
    if (mScripted && (mMouse->isLeftPressed() || mMouse->isRightPressed())) {
        // Scripted runs show where each click arrived, so tests can check the fit.
        const Vector2<int> window = mMouse->getPosition();
        const Vector2<int> workspace = getMousePosition();
        RenderSystem* render = Singleton<RenderSystem>::instancePointer();
        const Vector2<int> size = render ? render->getWindowSize() : Vector2<int>();
        logLine(formatString("Input script: %s press at window %d,%d of %dx%d, workspace %d,%d",
                             mMouse->isLeftPressed() ? "left" : "right", window.x, window.y, size.x, size.y,
                             workspace.x, workspace.y));
    }
}

void InputManager::updateKeyboard() {
    if (mKeyboard) mKeyboard->update();
}

Vector2<int> InputManager::getMousePosition() {
    if (!mMouse) return Vector2<int>();
    Vector2<int> position = mMouse->getPosition();
    if (RenderSystem* render = Singleton<RenderSystem>::instancePointer())
        position = render->screenToWorkspace(position.x, position.y);
    mMouse->setWorkspacePosition(position);
    return position;
}

Platform::ScriptedInputSource* InputManager::getScript() const {
    return dynamic_cast<Platform::ScriptedInputSource*>(mSource);
}

bool InputManager::isMouseDown() const { return mMouse && mMouse->isLeftDown(); }
bool InputManager::isMousePressed() const { return mMouse && mMouse->isLeftPressed(); }
bool InputManager::isMouseReleased() const { return mMouse && mMouse->isLeftReleased(); }

}  // namespace QV
