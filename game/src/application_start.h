#pragma once

#include <string>

class Application;
namespace QV::Platform {
class Window;
}

// The window at the configured resolution, its handle in the application's
// window record; null when the window system refuses (Window::lastError says why).
QV::Platform::Window* createMainWindow(Application* application, const std::string& title);

// The entry point's steps once the window exists: the devices, the memory
// manager when absent, the game's create, and running set.
void startApplication(Application* application);
