#pragma once

#include "vector2.h"

namespace QV {

// Where the workspace picture stands in the window: its size and top-left
// corner in window pixels (negative when cropped) and window pixels per
// workspace pixel. Fit type 1 fills the height down to the minimal aspect,
// 2 does the same zoomed, any other value letterboxes.
// Sizes below one pixel (a minimised window, an unset workspace) count as
// one pixel, so the result is always finite and the scale never 0.
void computeWorkspaceFit(const Vector2<float>& workspace, const Vector2<float>& window, int fitType,
                         float zoom, float minimalAspect, Vector2<float>& fitSize, Vector2<float>& fitOffset,
                         float& fitScale);

// A window position back into integer workspace coordinates through a fit.
// Positions in the bars land outside the workspace and are not clamped.
Vector2<int> windowToWorkspace(const Vector2<float>& workspace, const Vector2<float>& fitSize,
                               const Vector2<float>& fitOffset, const Vector2<int>& windowPosition);

}  // namespace QV
