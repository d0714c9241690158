#include "d3dx_math.h"

#include <cmath>
#include <cstring>

namespace QV {

bool Matrix4::operator==(const Matrix4& o) const { return std::memcmp(m, o.m, sizeof(m)) == 0; }

Matrix4* matrixIdentity(Matrix4* out) {
    std::memset(out->m, 0, sizeof(out->m));
    out->m[0][0] = out->m[1][1] = out->m[2][2] = out->m[3][3] = 1.0f;
    return out;
}

Matrix4* matrixOrthoOffCenterLH(Matrix4* out, float l, float r, float b, float t, float zn, float zf) {
    matrixIdentity(out);
    out->m[0][0] = 2.0f / (r - l);
    out->m[1][1] = 2.0f / (t - b);
    out->m[2][2] = 1.0f / (zf - zn);
    out->m[3][0] = (l + r) / (l - r);
    out->m[3][1] = (t + b) / (b - t);
    out->m[3][2] = zn / (zn - zf);
    return out;
}

Matrix4* matrixScaling(Matrix4* out, float sx, float sy, float sz) {
    matrixIdentity(out);
    out->m[0][0] = sx;
    out->m[1][1] = sy;
    out->m[2][2] = sz;
    return out;
}

Matrix4* matrixTranslation(Matrix4* out, float x, float y, float z) {
    matrixIdentity(out);
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}

Matrix4* matrixRotationZ(Matrix4* out, float angle) {
    matrixIdentity(out);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    out->m[0][0] = c;
    out->m[0][1] = s;
    out->m[1][0] = -s;
    out->m[1][1] = c;
    return out;
}

Matrix4* matrixMultiply(Matrix4* out, const Matrix4* a, const Matrix4* b) {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] + a->m[i][2] * b->m[2][j] +
                        a->m[i][3] * b->m[3][j];
    *out = r;
    return out;
}

Matrix4* matrixTranspose(Matrix4* out, const Matrix4* in) {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = in->m[j][i];
    *out = r;
    return out;
}

void transformPoint(const Matrix4& mat, float x, float y, float z, float out[4]) {
    for (int j = 0; j < 4; ++j) out[j] = x * mat.m[0][j] + y * mat.m[1][j] + z * mat.m[2][j] + mat.m[3][j];
}

}  // namespace QV
