#include "render_system_projection.h"

#include <cfloat>
#include <cmath>

namespace QV {

namespace {
const float kDegreesToRadians = 0.017453292f;
}

void buildViewProjection(const Camera& camera, int32_t width, int32_t height, Matrix4* out) {
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    Matrix4 result;
    matrixIdentity(&result);
    if (camera.useMatrix) {
        const Matrix3& m = camera.matrix;
        Matrix4 cm;
        matrixIdentity(&cm);
        cm.m[0][0] = m.m00;
        cm.m[0][1] = m.m01;
        cm.m[1][0] = m.m10;
        cm.m[1][1] = m.m11;
        cm.m[3][0] = m.m20;
        cm.m[3][1] = m.m21;
        result = cm;
    }
    Matrix4 step;
    matrixScaling(&step, 1.0f, -1.0f, 1.0f);
    matrixMultiply(&result, &result, &step);
    matrixTranslation(&step, camera.x - w / 2.0f, h - camera.y - h / 2.0f, 0.0f);
    matrixMultiply(&result, &result, &step);
    matrixScaling(&step, camera.scaleX, camera.scaleY, 1.0f);
    matrixMultiply(&result, &result, &step);
    matrixRotationZ(&step, camera.angle * kDegreesToRadians);
    matrixMultiply(&result, &result, &step);
    matrixTranslation(&step, w / 2.0f - 0.5f, h / 2.0f + 0.5f, 0.0f);
    matrixMultiply(&result, &result, &step);
    matrixOrthoOffCenterLH(&step, 0.0f, w, 0.0f, h, 0.0f, 128.0f);
    matrixMultiply(out, &result, &step);
}

bool cameraChanged(const Camera& current, const Camera& next) {
    const float dx = current.x - next.x;
    const float dy = current.y - next.y;
    if (std::sqrt(dx * dx + dy * dy) > FLT_EPSILON) return true;
    if (std::fabs(current.angle - next.angle) > FLT_EPSILON) return true;
    const float sx = current.scaleX - next.scaleX;
    const float sy = current.scaleY - next.scaleY;
    if (std::sqrt(sx * sx + sy * sy) > FLT_EPSILON) return true;
    if ((current.useMatrix != 0) != (next.useMatrix != 0)) return true;
    return current.useMatrix != 0 && next.useMatrix != 0;
}

}  // namespace QV
