#include "matrix3.h"

namespace QV {

bool Matrix3::isIdentity() const { return *this == Matrix3(); }

Matrix3 Matrix3::operator*(const Matrix3& o) const {
    const float* a = data();
    const float* b = o.data();
    Matrix3 r;
    float* c = r.data();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            c[i * 3 + j] = a[i * 3] * b[j] + a[i * 3 + 1] * b[3 + j] + a[i * 3 + 2] * b[6 + j];
    return r;
}

bool Matrix3::operator==(const Matrix3& o) const {
    const float* a = data();
    const float* b = o.data();
    for (int i = 0; i < 9; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

}  // namespace QV
