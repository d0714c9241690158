// Starts the engine the way the game's entry point does, over the content in
// ./media/, with a window of the configured size; posts one job that runs
// until the screen is captured, lets the frame draw its loading screen, and
// writes the window's pixels as a PNG:
//   loading_screen_prog <output.png>
// Frames are 150 ms apart, so the frame-rate figure reads 10.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

#include "application.h"
#include "flow/application_start.h"
#include "config_manager.h"
#include "file_system.h"
#include "function.h"
#include "image_encode.h"
#include "job.h"
#include "job_manager.h"
#include "memory_manager.h"
#include "platform/window.h"
#include "render_system.h"
#include "support/render_host.h"

namespace {

std::atomic<bool> gCaptured{false};

void loadingJob() {
    while (!gCaptured.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: loading_screen_prog <output.png>\n");
        return 2;
    }
    QV::gContentDirectory = "./media/";
    Application* application = new Application();
    gApplication = application;
    application->setRunning(false);
    QV::Platform::Window* window = createMainWindow(application, "loading screen");
    if (!window) {
        std::fprintf(stderr, "no window: %s\n", QV::Platform::Window::lastError().c_str());
        return 3;
    }
    startApplication(application);

    QV::Singleton<QV::JobManager>::instance()->addJob(new QV::Function<Application>(&loadingJob))->start();
    // The first frame uploads the font's picture; the later ones show it.
    for (int frame = 0; frame < 3; ++frame) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        QV::Platform::WindowEvent event;
        while (window->pollEvent(event)) {
        }
        application->updateFrame();
        application->renderFrame();
    }
    const bool saved = qvtest::saveWindowPicture(QV::RenderSystem::instance(), argv[1]);
    gCaptured = true;
    if (!saved) {
        std::fprintf(stderr, "read back failed\n");
        return 4;
    }
    application->exit();
}
