#include "flow/main_window.h"

#include "application.h"
#include "config_manager.h"
#include "format_string.h"
#include "log_system.h"
#include "platform/input_source.h"
#include "flow/window_size.h"

namespace {

constexpr char kResolutionFile[] = "resolution.txt";

WindowSizeInput sizeInput(QV::Platform::Window* window, bool fullscreen) {
    WindowSizeInput input;
    input.fullscreen = fullscreen;
    if (QV::ConfigManager* config = QV::Singleton<QV::ConfigManager>::instancePointer()) {
        input.configuredWidth = config->resolution().width;
        input.configuredHeight = config->resolution().height;
        input.fitType = config->fullscreenFitType();
        input.minimalAspect = config->fullscreenMinimalAspect();
    }
    if (window) window->displayMetrics(input.display);
    input.hasResolutionFile = readResolutionFile(kResolutionFile, input.fileFirst, input.fileSecond);
    return input;
}

}  // namespace

MainWindow::MainWindow(Application* application) : mApplication(application) {}

// The window lives until the process ends: unloading the GL driver at exit
// would only hide its allocations from leak checks behind unknown modules.
MainWindow::~MainWindow() = default;

bool MainWindow::create(const std::string& title) {
    ApplicationWindow* record = mApplication->getWindow();
    const QV::ConfigResolution& resolution = QV::Singleton<QV::ConfigManager>::instance()->resolution();
    record->clientWidth = resolution.width;
    record->clientHeight = resolution.height;
    QV::Platform::WindowDesc desc;
    desc.title = title;
    desc.width = record->clientWidth;
    desc.height = record->clientHeight;
    mWindow = QV::Platform::Window::create(desc);
    if (!mWindow) return false;
    record->windowHandle = mWindow->nativeHandle();
    record->deviceContext = mWindow;
    mWindow->setMinimumSize(640, 480);
    resetWindow(true, true);
    return true;
}

void MainWindow::resetWindow(bool resetDevice, bool usePlacement) {
    (void)resetDevice;  // the render system rebuilds for a new size when its next frame begins
    if (!mWindow) return;
    ApplicationWindow* record = mApplication->getWindow();
    const WindowSize size = computeWindowSize(sizeInput(mWindow, mFullscreen));
    if (!mFullscreen) {
        QV::logLine("resetWindow, window");
        mOuterWidth = size.outerWidth;
        mOuterHeight = size.outerHeight;
        record->clientWidth = size.clientWidth;
        record->clientHeight = size.clientHeight;
        QV::logLine(QV::formatString("Render target size: (%i, %i)", size.clientWidth, size.clientHeight));
        QV::logLine(QV::formatString("set window size %i %i ", size.outerWidth, size.outerHeight));
        if (mWindow->isFullscreen()) mWindow->setFullscreen(false);
        mWindow->setMaximumSize(size.clientWidth, size.clientHeight);
        // The client area sits inside the frame and below the caption.
        const int32_t frame = (size.outerWidth - size.clientWidth) / 2;
        const int32_t captionAndFrame = size.outerHeight - size.clientHeight - frame;
        mWindow->place(size.x + frame, size.y + captionAndFrame, size.clientWidth, size.clientHeight, usePlacement);
    } else {
        QV::logLine("resetWindow, fullscreen");
        record->clientWidth = size.clientWidth;
        record->clientHeight = size.clientHeight;
        QV::logLine(QV::formatString("set window size %i %i ", size.clientWidth, size.clientHeight));
        mWindow->setFullscreen(true);
    }
    QV::Platform::inhibitScreenSaver(true);
    // As the window system would after a mode change.
    mActivityMask |= kApplicationActive;
    checkDesktopResolution();
    if (!mApplication->isActive() && mActivityMask == kAllActive) mApplication->onActivate();
}

void MainWindow::checkDesktopResolution() {
    if (!mWindow) return;
    QV::Platform::DisplayMetrics metrics;
    if (!mWindow->displayMetrics(metrics)) return;
    if (metrics.desktopWidth == mDesktopWidth && metrics.desktopHeight == mDesktopHeight) return;
    QV::logLine("resolution changed!!!! ");
    mDesktopWidth = metrics.desktopWidth;
    mDesktopHeight = metrics.desktopHeight;
    resetWindow(true, true);
}

void MainWindow::windowSizeChanged(int32_t width, int32_t height) {
    // A minimised window reports no size.
    if (width == 0 || height == 0) return;
    QV::logLine(QV::formatString("windowSizeChanged %i; %i", width, height));
    ApplicationWindow* record = mApplication->getWindow();
    record->clientWidth = width;
    record->clientHeight = height;
}

void MainWindow::applyWindowMode(bool fullscreen) {
    if (fullscreen == mFullscreen) return;
    mFullscreen = fullscreen;
    resetWindow(true, true);
}

void MainWindow::activate() {
    checkDesktopResolution();
    if (!mApplication->isActive() && mActivityMask == kAllActive) mApplication->onActivate();
}

void MainWindow::deactivate() {
    if (!mApplication->isActive()) return;
    mApplication->onDeactivate();
    // A full-screen game that loses the focus gets out of the way.
    if (mFullscreen && mWindow) mWindow->minimize();
}

void MainWindow::setFocus(bool active) {
    if (active) {
        mActivityMask |= kWindowActive | kApplicationActive | kFrameActive;
        activate();
    } else {
        mActivityMask &= ~(kWindowActive | kApplicationActive | kFrameActive);
        deactivate();
    }
}

void MainWindow::raise() {
    if (mWindow) mWindow->raise();
}

bool MainWindow::handleEvent(const QV::Platform::WindowEvent& event) {
    using QV::Platform::WindowEventKind;
    switch (event.kind) {
        case WindowEventKind::Quit:
            return false;
        case WindowEventKind::Activated:
            setFocus(true);
            break;
        case WindowEventKind::Deactivated:
            setFocus(false);
            break;
        case WindowEventKind::Paint:
            mApplication->renderFrame();
            break;
        case WindowEventKind::Resized:
            // The render system refits the scene to the new size at its next frame.
            windowSizeChanged(event.width, event.height);
            break;
        case WindowEventKind::Maximized:
            // Back to the computed size where the window stands, without a device reset.
            if (mApplication->isRunning() && !mFullscreen) resetWindow(false, false);
            break;
        case WindowEventKind::MouseWheel:
            QV::Platform::onMouseWheelEvent(event.wheel);
            break;
        default:
            break;
    }
    return true;
}
