#pragma once

#include <cstdint>
#include <string>

namespace QV::Platform {

// What the window system tells the program, in place of window messages.
enum class WindowEventKind {
    None,
    Quit,         // close button, SIGINT or SIGTERM
    Activated,    // the window gained input focus
    Deactivated,  // the window lost input focus
    Paint,        // the window needs redrawing
    Resized,      // client size changed: width, height
    MouseWheel,   // wheel moved: y notches (positive away from the user)
};

struct WindowEvent {
    WindowEventKind kind = WindowEventKind::None;
    int32_t width = 0;
    int32_t height = 0;
    int32_t wheel = 0;
};

struct WindowDesc {
    std::string title;
    int32_t width = 0;
    int32_t height = 0;
    bool fullscreen = false;
    bool resizable = true;
    bool hidden = false;
};

// The application's one window, with an OpenGL-capable surface
// (GL 2.1, double buffered, RGBA8, depth 24, stencil 8).
class Window {
public:
    // Null (with a log-able reason in lastError()) when the window system refuses.
    static Window* create(const WindowDesc& desc);
    ~Window();

    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Takes one pending event; false when none is pending.
    bool pollEvent(WindowEvent& event);

    // The opaque handle the graphics device is created on.
    void* nativeHandle() const { return mHandle; }
    void clientSize(int32_t& width, int32_t& height) const;
    void setTitle(const std::string& title);
    void setFullscreen(bool fullscreen);
    void showSystemCursor(bool show);
    bool hasFocus() const;

    static const std::string& lastError();

private:
    Window() = default;
    void* mHandle = nullptr;
};

// Makes SIGINT and SIGTERM ask the window for an orderly Quit event.
void installQuitSignals();
// True once a quit signal arrived (also reported once as a Quit event).
bool quitRequested();

// Milliseconds from a monotonic clock, and a sleep.
uint32_t tickCount();
void sleepMilliseconds(uint32_t milliseconds);

}  // namespace QV::Platform
