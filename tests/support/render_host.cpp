#include "support/render_host.h"

#include <cstdlib>
#include <fstream>

#include "engine_notification_dispatcher.h"
#include "image_encode.h"
#include "platform/gfx/recording_driver.h"
#include "platform/window.h"
#include "render_system.h"
#include "texture.h"
#include "texture_device.h"
#include "video_surface_streamer.h"

namespace qvtest {

RenderHost::RenderHost(HostDevice device, int windowWidth, int windowHeight, const char* title) {
    mWindow.clientWidth = windowWidth;
    mWindow.clientHeight = windowHeight;
    if (device == HostDevice::None) return;
    if (!QV::EngineNotificationDispatcher::instancePointer()) {
        mDispatcher = std::make_unique<QV::EngineNotificationDispatcher>();
    }
    mStreamer = std::make_unique<QV::VideoSurfaceStreamer>();
    if (device == HostDevice::Recording) {
        QV::Gfx::useRecordingDriver();
    } else {
        QV::Gfx::setDriverFactory(nullptr);
        QV::Platform::WindowDesc desc;
        desc.title = title;
        desc.width = windowWidth;
        desc.height = windowHeight;
        desc.hidden = std::getenv("QV_SHOW_WINDOWS") == nullptr;
        mPlatformWindow.reset(QV::Platform::Window::create(desc));
        mReady = mPlatformWindow != nullptr;
        if (mReady) mWindow.windowHandle = mPlatformWindow->nativeHandle();
    }
    if (mReady) {
        mRender = std::make_unique<QV::RenderSystem>(nullptr);
        mRender->setWindowRecord(&mWindow);
        mReady = mRender->createDevice(mWindow.windowHandle) && mRender->getDevice();
        if (mReady) QV::setTextureDevice(mRender->getDevice());
        QV::TextureDeviceHooks hooks;
        hooks.isUploaded = [](const QV::Texture* t) { return t->isUploaded(); };
        hooks.deviceTexture = [](const QV::Texture* t) { return t->getHandle(); };
        QV::setTextureDeviceHooks(hooks);
    }
}

RenderHost::~RenderHost() {
    QV::setTextureDeviceHooks(QV::TextureDeviceHooks());
    QV::setTextureDevice(nullptr);
    mRender.reset();
    mPlatformWindow.reset();
    QV::Gfx::setDriverFactory(nullptr);
    mStreamer.reset();
    mDispatcher.reset();
}

bool RenderHost::readBack(std::vector<uint8_t>* bgra, uint32_t* width, uint32_t* height) {
    if (!mRender || !mRender->getDevice()) return false;
    return mRender->getDevice()->readBack(bgra, width, height) == 0;
}

bool saveWindowPicture(QV::RenderSystem* render, const std::string& path) {
    std::vector<uint8_t> bgra;
    uint32_t width = 0, height = 0;
    if (!render || !render->getDevice() || render->getDevice()->readBack(&bgra, &width, &height) != 0) return false;
    std::vector<uint8_t> rgba(bgra.size());
    for (size_t i = 0; i + 3 < bgra.size(); i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = 255;
    }
    std::ofstream(path, std::ios::binary) << QV::encodePng(rgba, width, height);
    return true;
}

void keepDriverLoaded() {
    static QV::Platform::Window* keeper = [] {
        QV::Platform::WindowDesc desc;
        desc.title = "keeper";
        desc.width = 8;
        desc.height = 8;
        desc.hidden = true;
        return QV::Platform::Window::create(desc);
    }();
    (void)keeper;
}

}  // namespace qvtest
