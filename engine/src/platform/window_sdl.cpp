#include "platform/window.h"

#include <SDL.h>

#include "platform/gl_window_attributes.h"
#include "platform/input_source.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <ctime>

namespace QV::Platform {

namespace {

std::string gLastError;
std::atomic<bool> gQuitSignal{false};
bool gQuitReported = false;
// The program has one window; scripted runs resize it through here.
SDL_Window* gMainWindow = nullptr;

void onQuitSignal(int) { gQuitSignal.store(true); }

SDL_Window* sdl(void* handle) { return static_cast<SDL_Window*>(handle); }

// A scripted run must see a size change at the same frame on every run, but an
// X server answers a resize whenever it gets to it: wait for the answer here
// (bounded, in case a window manager refuses). Events stay queued for pollEvent.
void settleSize(SDL_Window* window, int width, int height) {
    static const bool scripted = [] {
        const char* script = std::getenv("QV_INPUT_SCRIPT");
        return script && *script;
    }();
    if (!scripted || !window) return;
    const Uint32 start = SDL_GetTicks();
    for (;;) {
        SDL_PumpEvents();
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        if ((w == width && h == height) || SDL_GetTicks() - start > 3000) return;
        SDL_Delay(2);
    }
}

// The size a full-screen window takes: its display's.
void settleFullscreen(SDL_Window* window) {
    SDL_Rect bounds{};
    int display = SDL_GetWindowDisplayIndex(window);
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) == 0) settleSize(window, bounds.w, bounds.h);
}

}  // namespace

const std::string& Window::lastError() { return gLastError; }

Window* Window::create(const WindowDesc& desc) {
    // Our own SIGINT/SIGTERM handling keeps the shut-down order; SDL must not take them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        gLastError = SDL_GetError();
        return nullptr;
    }
    setGLWindowAttributes();

    Uint32 flags = SDL_WINDOW_OPENGL;
    if (desc.resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (desc.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    flags |= desc.hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
    int width = desc.width > 0 ? desc.width : 1;
    int height = desc.height > 0 ? desc.height : 1;
    SDL_Window* window = SDL_CreateWindow(desc.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          width, height, flags);
    if (!window) {
        gLastError = SDL_GetError();
        return nullptr;
    }
    // Text fields read typed text (SDL_TEXTINPUT), not key codes; SDL starts
    // this on desktops already, said here so it never depends on that.
    SDL_StartTextInput();
    Window* result = new Window();
    result->mHandle = window;
    gMainWindow = window;
    return result;
}

Window::~Window() {
    if (mHandle && gMainWindow == sdl(mHandle)) gMainWindow = nullptr;
    if (mHandle) SDL_DestroyWindow(sdl(mHandle));
    mHandle = nullptr;
}

bool Window::pollEvent(WindowEvent& event) {
    event = WindowEvent{};
    if (gQuitSignal.load() && !gQuitReported) {
        gQuitReported = true;
        event.kind = WindowEventKind::Quit;
        return true;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_QUIT:
                event.kind = WindowEventKind::Quit;
                return true;
            case SDL_TEXTINPUT:
                // Typed text, composed by the player's layout and input method.
                onTextInputEvent(e.text.text);
                break;
            case SDL_MOUSEWHEEL:
                event.kind = WindowEventKind::MouseWheel;
                event.wheel = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
                return true;
            case SDL_WINDOWEVENT:
                switch (e.window.event) {
                    case SDL_WINDOWEVENT_FOCUS_GAINED:
                        event.kind = WindowEventKind::Activated;
                        return true;
                    case SDL_WINDOWEVENT_FOCUS_LOST:
                        event.kind = WindowEventKind::Deactivated;
                        return true;
                    case SDL_WINDOWEVENT_EXPOSED:
                        event.kind = WindowEventKind::Paint;
                        return true;
                    case SDL_WINDOWEVENT_SIZE_CHANGED:
                        event.kind = WindowEventKind::Resized;
                        event.width = e.window.data1;
                        event.height = e.window.data2;
                        return true;
                    case SDL_WINDOWEVENT_MAXIMIZED:
                        event.kind = WindowEventKind::Maximized;
                        return true;
                    case SDL_WINDOWEVENT_CLOSE:
                        event.kind = WindowEventKind::Quit;
                        return true;
                    default:
                        break;
                }
                break;
            default:
                break;
        }
    }
    return false;
}

void Window::clientSize(int32_t& width, int32_t& height) const {
    int w = 0, h = 0;
    if (mHandle) SDL_GetWindowSize(sdl(mHandle), &w, &h);
    width = w;
    height = h;
}

void Window::setTitle(const std::string& title) {
    if (mHandle) SDL_SetWindowTitle(sdl(mHandle), title.c_str());
}

void Window::setFullscreen(bool fullscreen) {
    if (!mHandle) return;
    SDL_SetWindowFullscreen(sdl(mHandle), fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (fullscreen) settleFullscreen(sdl(mHandle));
}

void Window::showSystemCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

bool Window::hasFocus() const {
    return mHandle && (SDL_GetWindowFlags(sdl(mHandle)) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool Window::isFullscreen() const {
    return mHandle && (SDL_GetWindowFlags(sdl(mHandle)) & SDL_WINDOW_FULLSCREEN) != 0;
}

bool Window::isMinimized() const {
    return mHandle && (SDL_GetWindowFlags(sdl(mHandle)) & SDL_WINDOW_MINIMIZED) != 0;
}

void Window::place(int32_t x, int32_t y, int32_t width, int32_t height, bool move) {
    if (!mHandle) return;
    SDL_Window* window = sdl(mHandle);
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED) SDL_RestoreWindow(window);
    SDL_SetWindowSize(window, width > 0 ? width : 1, height > 0 ? height : 1);
    if (move) SDL_SetWindowPosition(window, x, y);
    SDL_ShowWindow(window);
    if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN)) settleSize(window, width > 0 ? width : 1, height > 0 ? height : 1);
}

void Window::setMinimumSize(int32_t width, int32_t height) {
    if (mHandle) SDL_SetWindowMinimumSize(sdl(mHandle), width, height);
}

void Window::setMaximumSize(int32_t width, int32_t height) {
    if (mHandle && width > 0 && height > 0) SDL_SetWindowMaximumSize(sdl(mHandle), width, height);
}

void Window::raise() {
    if (!mHandle) return;
    SDL_Window* window = sdl(mHandle);
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window);
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

void Window::minimize() {
    if (mHandle) SDL_MinimizeWindow(sdl(mHandle));
}

bool Window::displayMetrics(DisplayMetrics& metrics) const {
    metrics = DisplayMetrics{};
    int display = mHandle ? SDL_GetWindowDisplayIndex(sdl(mHandle)) : 0;
    if (display < 0) display = 0;
    SDL_Rect bounds{}, usable{};
    if (SDL_GetDisplayBounds(display, &bounds) != 0) return false;
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0 || usable.w <= 0 || usable.h <= 0) usable = bounds;
    metrics.desktopWidth = bounds.w;
    metrics.desktopHeight = bounds.h;
    metrics.workLeft = usable.x;
    metrics.workTop = usable.y;
    metrics.workWidth = usable.w;
    metrics.workHeight = usable.h;
    int top = 0, left = 0, bottom = 0, right = 0;
    if (mHandle && SDL_GetWindowBordersSize(sdl(mHandle), &top, &left, &bottom, &right) == 0) {
        metrics.frameWidth = left;
        metrics.captionHeight = top > left ? top - left : 0;
    }
    return true;
}

void inhibitScreenSaver(bool inhibit) {
    if (inhibit) SDL_DisableScreenSaver();
    else SDL_EnableScreenSaver();
}

bool resizeMainWindow(int32_t width, int32_t height) {
    if (!gMainWindow) return false;
    // SDL queues a size-changed event, as for a drag of the window's edge.
    SDL_SetWindowSize(gMainWindow, width, height);
    // A full-screen window keeps the screen's size.
    if (!(SDL_GetWindowFlags(gMainWindow) & SDL_WINDOW_FULLSCREEN)) settleSize(gMainWindow, width, height);
    return true;
}

void installQuitSignals() {
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool quitRequested() { return gQuitSignal.load(); }

void setGLWindowAttributes() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
}

uint32_t tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(now.tv_sec * 1000ULL + now.tv_nsec / 1000000ULL);
}

void sleepMilliseconds(uint32_t milliseconds) {
    timespec wait{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0) {
        if (gQuitSignal.load()) break;
    }
}

}  // namespace QV::Platform
