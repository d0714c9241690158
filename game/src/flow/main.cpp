#include "flow/application_start.h"
#include "flow/content_folder.h"
#include "file_system.h"
#include "format_string.h"
#include "flow/game_application.h"
#include "log_system.h"
#include "flow/main_loop.h"
#include "flow/main_window.h"
#include "player/platform_config.h"
#include "platform/crash_signals.h"
#include "platform/single_instance.h"
#include "platform/window.h"
#include "report_assert.h"

int main() {
    // One copy at a time: the lock comes before the engine, which empties "QV.log".
    QV::Platform::SingleInstance instance;
    const std::string dataFolder = gameDataFolder();
    if (!dataFolder.empty() &&
        instance.acquire(dataFolder, "Brightfold") == QV::Platform::SingleInstance::Result::Running) {
        instance.askToRaise(1500);
        return 0;
    }

    // The content is found wherever the game was started from.
    char executable[4096];
    const std::vector<std::string> places = contentFolderCandidates(
        QV::Platform::executablePath(executable, sizeof(executable)) ? executable : "");
    const std::string content = findContentFolder(places);
    if (content.empty()) QV_FATAL(contentNotFoundReport(places));
    QV::gContentDirectory = content;
    QV::Platform::installQuitSignals();
    GameApplication* application = new GameApplication();
    QV::logLine("Content folder: " + content);
    application->setRunning(false);
    new PlatformConfig();
    MainWindow* mainWindow = new MainWindow(application);
    if (!mainWindow->create(application->getWindowTitle())) {
        QV_FATAL(QV::formatString("Failed to create the main window: %s", QV::Platform::Window::lastError().c_str()));
    }
    startApplication(application);
    runMainLoop(*mainWindow, application, &instance);
    application->exit();
}
