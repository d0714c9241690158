#include "flow/application_start.h"

#include "application.h"
#include "config_manager.h"
#include "memory_manager.h"
#include "platform/window.h"
#include "platform/user_data_dir.h"

std::string getVersionString() { return "v1.1"; }

std::string gameDataFolder() {
    std::string base;
    if (!QV::Platform::userDataBaseDirectory(base)) return std::string();
    const std::string folder = base + "/Varnel/Glimvale";
    // Every level, the base itself included: a fresh account may have none of them yet.
    for (size_t at = folder.find('/', 1); at != std::string::npos; at = folder.find('/', at + 1)) {
        if (folder[at - 1] != '/') QV::Platform::makeDirectoryLevel(folder.substr(0, at));
    }
    if (!QV::Platform::makeDirectoryLevel(folder)) return std::string();
    return folder;
}

QV::Platform::Window* createMainWindow(Application* application, const std::string& title) {
    ApplicationWindow* record = application->getWindow();
    const QV::ConfigResolution& resolution = QV::Singleton<QV::ConfigManager>::instance()->resolution();
    record->clientWidth = resolution.width;
    record->clientHeight = resolution.height;
    QV::Platform::WindowDesc desc;
    desc.title = title;
    desc.width = record->clientWidth;
    desc.height = record->clientHeight;
    QV::Platform::Window* window = QV::Platform::Window::create(desc);
    if (!window) return nullptr;
    record->windowHandle = window->nativeHandle();
    record->deviceContext = window;
    return window;
}

void startApplication(Application* application) {
    application->initDevices();
    if (!QV::Singleton<QV::MemoryManager>::instancePointer()) new QV::MemoryManager();
    application->create();
    application->setRunning(true);
}
