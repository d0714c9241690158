#include "application_start.h"
#include "file_system.h"
#include "format_string.h"
#include "game_application.h"
#include "main_loop.h"
#include "platform/window.h"
#include "report_assert.h"

namespace {

// Lives until the process ends: unloading the GL driver at exit would only
// hide its allocations from leak checks behind unknown modules.
QV::Platform::Window* gMainWindow = nullptr;

}  // namespace

int main() {
    QV::gContentDirectory = "./media/";
    QV::Platform::installQuitSignals();
    GameApplication* application = new GameApplication();
    application->setRunning(false);
    gMainWindow = createMainWindow(application, application->getWindowTitle());
    if (!gMainWindow) {
        QV_FATAL(QV::formatString("Failed to create the main window: %s", QV::Platform::Window::lastError().c_str()));
    }
    startApplication(application);
    runMainLoop(gMainWindow, application);
    application->exit();
}
