#pragma once

#include <string>

class Application;
namespace QV::Platform {
class Window;
}

// A window at the configured resolution, its handle in the application's
// window record; null when the window system refuses (Window::lastError says
// why). For programs that show the engine without the game's window rules.
QV::Platform::Window* createMainWindow(Application* application, const std::string& title);

// The program's version text, as the main menu shows it.
std::string getVersionString();

// The per-user folder of the game's files ("Varnel/Glimvale" in the user's
// data folder), created when missing; empty when there is none.
std::string gameDataFolder();

// The entry point's steps once the window exists: the devices, the memory
// manager when absent, the game's create, and running set.
void startApplication(Application* application);
