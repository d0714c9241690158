#include "main_loop.h"

#include "application.h"
#include "job_manager.h"
#include "platform/input_source.h"
#include "platform/window.h"
#include "video_player.h"

namespace {

// The window procedure's part: false when the loop must end.
bool handleWindowEvent(Application* application, const QV::Platform::WindowEvent& event) {
    using QV::Platform::WindowEventKind;
    switch (event.kind) {
        case WindowEventKind::Quit:
            return false;
        case WindowEventKind::Activated:
            if (!application->isActive()) application->onActivate();
            break;
        case WindowEventKind::Deactivated:
            if (application->isActive()) application->onDeactivate();
            break;
        case WindowEventKind::Paint:
            application->renderFrame();
            break;
        case WindowEventKind::Resized:
            // The render system refits the scene to the new size at its next frame.
            if (event.width > 0 && event.height > 0) {
                application->getWindow()->clientWidth = event.width;
                application->getWindow()->clientHeight = event.height;
            }
            break;
        case WindowEventKind::MouseWheel:
            QV::Platform::onMouseWheelEvent(event.wheel);
            break;
        default:
            break;
    }
    return true;
}

}  // namespace

int runMainLoop(QV::Platform::Window* window, Application* application) {
    uint32_t lastTick = QV::Platform::tickCount();
    for (;;) {
        QV::Platform::WindowEvent event;
        if (window->pollEvent(event)) {
            if (!handleWindowEvent(application, event)) break;
            continue;
        }
        uint32_t now = QV::Platform::tickCount();
        uint32_t elapsed = now - lastTick;
        lastTick = now;
        if (elapsed < 16) QV::Platform::sleepMilliseconds(16 - elapsed);

        application->updateFrame();
        if (application->isRunning() && application->isActive()) {
            QV::VideoPlayer* videoPlayer = application->getVideoPlayer();
            if (QV::Singleton<QV::JobManager>::instance()->updateJobs() != 0) {
                application->renderLoading();
            } else if (videoPlayer && videoPlayer->isPlaying()) {
                videoPlayer->renderBlocking();
            } else {
                application->render();
            }
        }
    }
    application->setRunning(false);
    return 0;
}
