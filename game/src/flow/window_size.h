#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"

// What decides the main window's size.
struct WindowSizeInput {
    bool fullscreen = false;
    int32_t configuredWidth = 0;   // the platform's "resolution"
    int32_t configuredHeight = 0;
    int32_t fitType = 0;           // "fullscreenFitType"
    float minimalAspect = 0.0f;    // "fullscreenMinimalAspect"
    QV::Platform::DisplayMetrics display;
    // "resolution.txt", when it holds two positive numbers: its lines as written.
    bool hasResolutionFile = false;
    int32_t fileFirst = 0;
    int32_t fileSecond = 0;
};

struct WindowSize {
    int32_t x = 0, y = 0;                         // the outer window's top-left corner
    int32_t clientWidth = 0, clientHeight = 0;
    int32_t outerWidth = 0, outerHeight = 0;      // with frame and caption
};

WindowSize computeWindowSize(const WindowSizeInput& input);

// Reads "resolution.txt": two lines of at most 63 characters, each a decimal
// integer. True only when the file opens and both values are positive.
bool readResolutionFile(const std::string& path, int32_t& first, int32_t& second);
