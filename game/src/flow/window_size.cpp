#include "flow/window_size.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

WindowSize computeWindowSize(const WindowSizeInput& in) {
    WindowSize out;
    const QV::Platform::DisplayMetrics& d = in.display;
    if (in.fullscreen) {
        out.clientWidth = out.outerWidth = d.desktopWidth;
        out.clientHeight = out.outerHeight = d.desktopHeight;
        return out;
    }
    const int32_t W = in.configuredWidth;
    const int32_t H = in.configuredHeight;
    const float aspect = H != 0 ? float(W) / float(H) : 1.0f;
    const int32_t availableWidth = d.workWidth - 2 * d.frameWidth;
    const int32_t availableHeight = d.workHeight - 2 * d.frameWidth - d.captionHeight;
    const int32_t w = std::min(availableWidth, W);
    const int32_t h = std::min(availableHeight, H);
    const float fitted = h != 0 ? float(w) / float(h) : aspect;

    int32_t width = W, height = H;
    if (in.hasResolutionFile) {
        if (W > H) {
            width = in.fileFirst;
            height = in.fileSecond;
        } else {
            height = in.fileFirst;
            width = in.fileSecond;
        }
    } else if (availableWidth >= W && availableHeight >= H) {
        width = W;
        height = H;
    } else if (in.fitType == 1) {
        const float m = fitted > in.minimalAspect ? fitted : in.minimalAspect;
        const float t = m <= aspect ? m : aspect;
        if (t <= fitted) {
            width = int32_t(t * float(h));
            height = h;
        } else {
            width = w;
            height = int32_t(float(w) / t);
        }
    } else {
        width = w;
        height = h;
        if (aspect < fitted) width = int32_t(aspect * float(h));
        else height = int32_t(float(w) / aspect);
    }
    out.clientWidth = width;
    out.clientHeight = height;
    out.x = d.workLeft + d.workWidth / 2 - width / 2;
    out.y = d.workTop + d.workHeight / 2 - d.captionHeight / 2 - height / 2;
    out.outerWidth = width + 2 * d.frameWidth;
    out.outerHeight = height + 2 * d.frameWidth + d.captionHeight;
    return out;
}

bool readResolutionFile(const std::string& path, int32_t& first, int32_t& second) {
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return false;
    char lines[2][64] = {{0}, {0}};
    for (auto& line : lines) {
        if (!std::fgets(line, sizeof(line), file)) line[0] = '\0';
        // The rest of an overlong line is not the next value.
        if (!std::strchr(line, '\n')) {
            int c;
            while ((c = std::fgetc(file)) != EOF && c != '\n') {}
        }
    }
    std::fclose(file);
    const long a = std::strtol(lines[0], nullptr, 10);
    const long b = std::strtol(lines[1], nullptr, 10);
    // Zero, negative or absurd sizes would make no usable window.
    if (a <= 0 || b <= 0 || a > 16384 || b > 16384) return false;
    first = int32_t(a);
    second = int32_t(b);
    return true;
}
