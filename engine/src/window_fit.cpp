#include "window_fit.h"

#include <cmath>
#include <utility>

namespace QV {

static float atLeastOnePixel(float v) { return (v >= 1.0f) ? v : 1.0f; }  // NaN too

void computeWorkspaceFit(const Vector2<float>& workspace, const Vector2<float>& window, int fitType,
                         float zoom, float minimalAspect, Vector2<float>& fitSize, Vector2<float>& fitOffset,
                         float& fitScale) {
    float W = atLeastOnePixel(workspace.x);
    float H = atLeastOnePixel(workspace.y);
    float ww = atLeastOnePixel(window.x);
    float wh = atLeastOnePixel(window.y);
    const float unswappedW = W;

    // Portrait workspaces run the same computation on exchanged axes.
    const bool portrait = W <= H;
    if (portrait) {
        std::swap(W, H);
        std::swap(ww, wh);
    }
    const float sa = W / H;
    const float wa = ww / wh;
    float sx, sy;
    if (fitType == 1 || fitType == 2) {
        if (minimalAspect > wa) {
            sx = minimalAspect * ww;
            sy = sx / sa;
        } else {
            sy = wh;
            sx = wh * sa;
        }
        if (fitType == 2) {
            sx *= zoom;
            sy *= zoom;
        }
    } else if (sa < wa) {
        sy = wh;
        sx = wh * sa;
    } else {
        sx = ww;
        sy = ww / sa;
    }
    float ox = (ww - sx) / 2;
    float oy = (wh - sy) / 2;
    if (portrait) {
        std::swap(sx, sy);
        std::swap(ox, oy);
    }
    fitSize = Vector2<float>(sx, sy);
    fitOffset = Vector2<float>(ox, oy);
    fitScale = sx / unswappedW;
}

// Truncation toward zero into an int, saturating instead of overflowing.
static int truncToInt(float v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0f) return 2147483647;
    if (v <= -2147483648.0f) return -2147483647 - 1;
    return static_cast<int>(v);
}

Vector2<int> windowToWorkspace(const Vector2<float>& workspace, const Vector2<float>& fitSize,
                               const Vector2<float>& fitOffset, const Vector2<int>& p) {
    const int ox = truncToInt(fitOffset.x);
    const int oy = truncToInt(fitOffset.y);
    const float sx = fitSize.x != 0 ? workspace.x / fitSize.x : 0.0f;
    const float sy = fitSize.y != 0 ? workspace.y / fitSize.y : 0.0f;
    return Vector2<int>(truncToInt(float(p.x - ox) * sx), truncToInt(float(p.y - oy) * sy));
}

}  // namespace QV
