#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"

class Application;

// The game's one window and what the window system tells it: the applied
// window mode, the activity bits and the sizes last computed.
class MainWindow {
public:
    // Activity bits: the window, the application and the frame are active.
    static constexpr uint32_t kWindowActive = 2;
    static constexpr uint32_t kApplicationActive = 4;
    static constexpr uint32_t kFrameActive = 8;
    static constexpr uint32_t kAllActive = 14;

    explicit MainWindow(Application* application);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Opens the window at the configured resolution and fits it (windowed).
    // False (Window::lastError says why) when the window system refuses.
    bool create(const std::string& title);

    void resetWindow(bool resetDevice, bool usePlacement);
    void checkDesktopResolution();
    void windowSizeChanged(int32_t width, int32_t height);
    // Turns the window full screen or back when the wish differs from the applied mode.
    void applyWindowMode(bool fullscreen);
    // Reacts to one event of the window system; false when the loop must end.
    bool handleEvent(const QV::Platform::WindowEvent& event);
    // Gains or loses the focus as a window system would tell it.
    void setFocus(bool active);
    // Brings the window to the front for a later copy of the program.
    void raise();

    QV::Platform::Window* window() const { return mWindow; }
    bool fullscreen() const { return mFullscreen; }
    uint32_t activityMask() const { return mActivityMask; }

private:
    void activate();
    void deactivate();

    Application* mApplication;
    QV::Platform::Window* mWindow = nullptr;
    bool mFullscreen = false;
    uint32_t mActivityMask = kAllActive;
    int32_t mOuterWidth = 0;
    int32_t mOuterHeight = 0;
    int32_t mDesktopWidth = 0;
    int32_t mDesktopHeight = 0;
};
