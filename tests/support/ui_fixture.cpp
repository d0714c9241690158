#include "support/ui_fixture.h"

#include "input_manager.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "object_factory.h"
#include "particle_system.h"
#include "platform/input_source.h"
#include "singleton.h"
#include "support/temp_dir.h"
#include "ui/ui_manager.h"

namespace qvtest {

FontMediaFile mediaFile(const std::string& location, const std::string& bytes) {
    std::string resource = location.substr(location.rfind('/') + 1);
    for (char& c : resource) {
        if (c == '.') c = '_';
    }
    return {"default", resource, "/" + location, bytes};
}

FontMediaFile repositoryFile(const std::string& resource, const std::string& location) {
    return {"default", resource, "/" + location, readFile(std::string(QV_SOURCE_DIR) + "/media/" + location)};
}

UIWorld::UIWorld(const std::vector<FontMediaFile>& files, const UIWorldOptions& options) {
    FontWorldOptions graphics;
    graphics.device = options.device;
    graphics.workspaceWidth = options.width;
    graphics.workspaceHeight = options.height;
    mGraphics = std::make_unique<FontWorld>(files, graphics);
    mLog = new CapturedLog();
    QV::Singleton<QV::LogSystem>::instance()->streams().push_back(mLog);
    mFactory = std::make_unique<QV::ObjectFactory>();
    mParticles = std::make_unique<QV::ParticleSystem>();
    mLex = std::make_unique<QV::LexBindedFunctionManager>();
    mInput = std::make_unique<QV::InputManager>(nullptr);
    if (options.systemInput) {
        mInput->init(QV::Platform::createSystemInputSource());
    } else {
        mSource = new QV::Platform::ScriptedInputSource();
        mInput->init(mSource);
    }
    mUI = std::make_unique<QV::UIManager>();
}

UIWorld::~UIWorld() {
    mUI.reset();
    mInput.reset();
    mLex.reset();
    mParticles.reset();
    mFactory.reset();
    mGraphics.reset();
}

void UIWorld::frame(float dt) {
    mInput->pollMouse();
    mInput->updateKeyboard();
    mUI->update(dt);
    ++mFrame;
}

void UIWorld::frames(int count, float dt) {
    for (int i = 0; i < count; ++i) frame(dt);
}

void UIWorld::clickAt(float x, float y) {
    mSource->moveMouse(mFrame, int(x), int(y));
    mSource->click(mFrame, int(x), int(y));
}


}  // namespace qvtest
