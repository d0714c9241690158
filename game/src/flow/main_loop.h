#pragma once

namespace QV::Platform {
class SingleInstance;
}
class GameApplication;
class MainWindow;

// Runs the main loop until the window system (or the input script) asks to
// quit; returns 0. Raise requests of later copies arrive through `instance`.
int runMainLoop(MainWindow& window, GameApplication* application, QV::Platform::SingleInstance* instance);
