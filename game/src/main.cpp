#include "application.h"
#include "config_manager.h"
#include "file_system.h"
#include "format_string.h"
#include "game_application.h"
#include "log_system.h"
#include "memory_manager.h"
#include "main_loop.h"
#include "platform/window.h"
#include "report_assert.h"

namespace {

// Lives until the process ends: unloading the GL driver at exit would only
// hide its allocations from leak checks behind unknown modules.
QV::Platform::Window* gMainWindow = nullptr;

QV::Platform::Window* createMainWindow(Application* application) {
    ApplicationWindow* record = application->getWindow();
    const QV::ConfigResolution& resolution = QV::Singleton<QV::ConfigManager>::instance()->resolution();
    record->clientWidth = resolution.width;
    record->clientHeight = resolution.height;
    QV::Platform::WindowDesc desc;
    desc.title = application->getWindowTitle();
    desc.width = record->clientWidth;
    desc.height = record->clientHeight;
    QV::Platform::Window* window = QV::Platform::Window::create(desc);
    if (!window) {
        QV_FATAL(QV::formatString("Failed to create the main window: %s",
                                  QV::Platform::Window::lastError().c_str()));
    }
    record->windowHandle = window->nativeHandle();
    record->deviceContext = window;
    return window;
}

}  // namespace

int main() {
    QV::gContentDirectory = "./media/";
    QV::Platform::installQuitSignals();
    GameApplication* application = new GameApplication();
    application->setRunning(false);
    gMainWindow = createMainWindow(application);
    application->initDevices();
    if (!QV::Singleton<QV::MemoryManager>::instancePointer()) new QV::MemoryManager();
    application->create();
    application->setRunning(true);
    runMainLoop(gMainWindow, application);
    application->exit();
}
