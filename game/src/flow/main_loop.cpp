#include "flow/main_loop.h"

#include "flow/game_application.h"
#include "input_manager.h"
#include "job_manager.h"
#include "log_system.h"
#include "flow/main_window.h"
#include "platform/run_settings.h"
#include "platform/scripted_input_source.h"
#include "platform/single_instance.h"
#include "platform/window.h"
#include "flow/script_actions.h"
#include "video_player.h"

namespace {

constexpr uint32_t kTurnMilliseconds = 16;

}  // namespace

int runMainLoop(MainWindow& mainWindow, GameApplication* application, QV::Platform::SingleInstance* instance) {
    const bool fixedStep = QV::Platform::runSettings().fixedFrameTime > 0.0;
    QV::Platform::Window* window = mainWindow.window();
    const QV::InputManager* input = QV::Singleton<QV::InputManager>::instancePointer();
    const bool scripted = input && input->getScript();
    int32_t turn = 0;
    for (;;) {
        mainWindow.applyWindowMode(application->wantsFullscreen());

        QV::Platform::WindowEvent event;
        if (window->pollEvent(event)) {
            // A scripted run owns the focus through its own focus actions, so a run
            // repeats whatever else the desktop does (another window taking focus).
            if (scripted && (event.kind == QV::Platform::WindowEventKind::Activated ||
                             event.kind == QV::Platform::WindowEventKind::Deactivated))
                continue;
            if (!mainWindow.handleEvent(event)) {
                application->onWindowClosed();
                break;
            }
            continue;
        }

        // An idle turn: one frame.
        const uint32_t turnStart = QV::Platform::tickCount();
        if (instance && instance->takeRaiseRequest()) {
            QV::logLine("Another copy asked to raise the window");
            mainWindow.raise();
        }
        if (!runScriptActions(turn++, mainWindow, application)) {
            application->onWindowClosed();
            break;
        }

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

        if (!fixedStep) {
            const uint32_t spent = QV::Platform::tickCount() - turnStart;
            if (spent < kTurnMilliseconds) QV::Platform::sleepMilliseconds(kTurnMilliseconds - spent);
        }
    }
    application->setRunning(false);
    return 0;
}
