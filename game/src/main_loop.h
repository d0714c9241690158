#pragma once

namespace QV::Platform {
class Window;
}
class Application;

// Runs the main loop until the window system asks to quit; returns 0.
int runMainLoop(QV::Platform::Window* window, Application* application);

