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
    Maximized,    // the user asked for the largest size
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

// What the window fit needs of the screen, in pixels.
struct DisplayMetrics {
    int32_t desktopWidth = 0;  // the whole screen
    int32_t desktopHeight = 0;
    int32_t workLeft = 0;  // the part windows may use (no panels or docks)
    int32_t workTop = 0;
    int32_t workWidth = 0;
    int32_t workHeight = 0;
    int32_t frameWidth = 0;     // a window's side border
    int32_t captionHeight = 0;  // a window's title bar
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
    bool isFullscreen() const;
    bool isMinimized() const;
    // Client area of the given size, at (x, y) when move is set; windowed only.
    void place(int32_t x, int32_t y, int32_t width, int32_t height, bool move);
    // Limits on the client size the user may drag to (0 x 0: none).
    void setMinimumSize(int32_t width, int32_t height);
    void setMaximumSize(int32_t width, int32_t height);
    // Un-minimises the window and brings it to the front with input focus.
    void raise();
    void minimize();
    // The screen the window is on, with this window's border sizes.
    bool displayMetrics(DisplayMetrics& metrics) const;

    static const std::string& lastError();

private:
    Window() = default;
    void* mHandle = nullptr;
};

// Resizes the most recently created window that still exists; false when none.
bool resizeMainWindow(int32_t width, int32_t height);

// Makes SIGINT and SIGTERM ask the window for an orderly Quit event.
void installQuitSignals();
// True once a quit signal arrived (also reported once as a Quit event).
bool quitRequested();

// Keeps the screen saver and display sleep away (true) or lets them be (false).
void inhibitScreenSaver(bool inhibit);

// Milliseconds from a monotonic clock, and a sleep.
uint32_t tickCount();
void sleepMilliseconds(uint32_t milliseconds);

}  // namespace QV::Platform
