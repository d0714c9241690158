#pragma once

namespace QV {

// A 4x4 float matrix in the row-vector convention of the device: a point is
// the row (x, y, z, 1) multiplied on the left, translation sits in row 3.
struct Matrix4 {
    float m[4][4];

    float* data() { return &m[0][0]; }
    const float* data() const { return &m[0][0]; }
    bool operator==(const Matrix4& o) const;
    bool operator!=(const Matrix4& o) const { return !(*this == o); }
};

Matrix4* matrixIdentity(Matrix4* out);
// Left-handed orthographic projection of the box [l, r] x [b, t] x [zn, zf]
// onto x, y in -1..1 and z in 0..1.
Matrix4* matrixOrthoOffCenterLH(Matrix4* out, float l, float r, float b, float t, float zn, float zf);
Matrix4* matrixScaling(Matrix4* out, float sx, float sy, float sz);
Matrix4* matrixTranslation(Matrix4* out, float x, float y, float z);
// Rotation about z by an angle in radians (counter-clockwise for y up).
Matrix4* matrixRotationZ(Matrix4* out, float angle);
// a then b: out = a * b. out may alias either input.
Matrix4* matrixMultiply(Matrix4* out, const Matrix4* a, const Matrix4* b);
Matrix4* matrixTranspose(Matrix4* out, const Matrix4* in);

// Transforms the row (x, y, z, 1); writes the four homogeneous components.
void transformPoint(const Matrix4& mat, float x, float y, float z, float out[4]);

}  // namespace QV
