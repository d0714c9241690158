#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "application.h"

namespace QV {
class EngineNotificationDispatcher;
class RenderSystem;
class VideoSurfaceStreamer;
namespace Platform {
class Window;
}
}  // namespace QV

namespace qvtest {

enum class HostDevice { None, Recording, OpenGL };

// The render side that sprite, font and video tests stand on: the notification
// dispatcher, the video streamer, a render system on the recording driver or on
// a real (hidden unless QV_SHOW_WINDOWS) OpenGL window, and the texture device
// hooks. Create it before the texture manager and delete it after.
class RenderHost {
public:
    RenderHost(HostDevice device, int windowWidth, int windowHeight, const char* title);
    ~RenderHost();
    RenderHost(const RenderHost&) = delete;
    RenderHost& operator=(const RenderHost&) = delete;

    // False when the OpenGL window or device could not be made.
    bool ready() const { return mReady; }
    QV::RenderSystem* render() { return mRender.get(); }
    ApplicationWindow& window() { return mWindow; }
    // After endFrame: the window's pixels as BGRA rows, top row first.
    bool readBack(std::vector<uint8_t>* bgra, uint32_t* width, uint32_t* height);

private:
    std::unique_ptr<QV::EngineNotificationDispatcher> mDispatcher;
    std::unique_ptr<QV::VideoSurfaceStreamer> mStreamer;
    ApplicationWindow mWindow;
    std::unique_ptr<QV::Platform::Window> mPlatformWindow;
    std::unique_ptr<QV::RenderSystem> mRender;
    bool mReady = true;
};

// Reads the render system's window back and writes it as an opaque PNG;
// false when the read-back fails.
bool saveWindowPicture(QV::RenderSystem* render, const std::string& path);

// Opens one hidden 8 x 8 window that stays open for the whole run, so the GL
// driver library stays loaded between tests and its own allocations stay
// attributable to it. Call before making other windows; later calls do nothing.
void keepDriverLoaded();

}  // namespace qvtest
