#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/scripted_input_source.h"
#include "support/font_fixture.h"
#include "support/render_fixture.h"

namespace QV {
class InputManager;
class LexBindedFunctionManager;
class ObjectFactory;
class ParticleSystem;
class UIManager;
}  // namespace QV

namespace qvtest {

struct UIWorldOptions {
    HostDevice device = HostDevice::None;
    int width = 400;
    int height = 300;
    // The window system's input (SDL) instead of a script; input() is then unusable.
    bool systemInput = false;
};

// The UI manager with what it stands on: content over "<temp>/media/" in
// the given packages, fonts, sprites and textures
// (FontWorld), the particle system, the command registry and the input manager
// on a scripted source, or on the system's (workspace = window pixels).
class UIWorld {
public:
    explicit UIWorld(const std::vector<FontMediaFile>& files = {}, const UIWorldOptions& options = UIWorldOptions());
    ~UIWorld();

    QV::UIManager& ui() { return *mUI; }
    FontWorld& graphics() { return *mGraphics; }
    QV::Platform::ScriptedInputSource& input() { return *mSource; }
    CapturedLog& log() { return *mLog; }
    // One engine frame of the UI: input poll, then the manager's update.
    void frame(float dt = 0.1f);
    void frames(int count, float dt = 0.1f);
    // Frames run so far: the scripted source's index of the next frame.
    int frameIndex() const { return mFrame; }
    // On the next frame: move there and press; release on the frame after.
    void clickAt(float x, float y);

private:
    std::unique_ptr<FontWorld> mGraphics;
    CapturedLog* mLog = nullptr;  // owned by the log
    std::unique_ptr<QV::ObjectFactory> mFactory;
    std::unique_ptr<QV::ParticleSystem> mParticles;
    std::unique_ptr<QV::LexBindedFunctionManager> mLex;
    std::unique_ptr<QV::InputManager> mInput;
    QV::Platform::ScriptedInputSource* mSource = nullptr;  // owned by the input manager
    std::unique_ptr<QV::UIManager> mUI;
    int mFrame = 0;
};

// A file of package "default" at media/<location>; its resource name is the
// location's file name with "." written as "_".
FontMediaFile mediaFile(const std::string& location, const std::string& bytes);
// A file of the repository's own media/ directory under its resource name.
FontMediaFile repositoryFile(const std::string& resource, const std::string& location);

}  // namespace qvtest
