#include "particle_shapes.h"

#include <cmath>

namespace QV {

void ParticlePointEmitter::placeParticle(int index) {
    particles()[index].x = 0.0f;
    particles()[index].y = 0.0f;
}

void ParticleBoxEmitter::visit(PropertyVisitArchive& archive) {
    archive.visit(makeNvp("mRect", mRect));
    archive.visit(makeNvp("mRectAngle", mRectAngle));
    ParticleEmitter::visit(archive);
}

void ParticleBoxEmitter::load(XmlIArchive& archive) {
    archive.load(makeNvp("mRect", mRect));
    archive.load(makeNvp("mRectAngle", mRectAngle));
    ParticleEmitter::load(archive);
}

void ParticleBoxEmitter::save(XmlOutputArchive& archive) {
    archive.save(makeNvp("mRect", mRect));
    archive.save(makeNvp("mRectAngle", mRectAngle));
    ParticleEmitter::save(archive);
}

void ParticleBoxEmitter::placeParticle(int index) {
    float a = mRectAngle * 0.017453292f;
    float c = std::cos(a);
    float s = std::sin(a);
    float f1 = randomFraction();
    float f2 = randomFraction();
    float u = mRect.left + f1 * (mRect.right - mRect.left);
    float v = mRect.top + f2 * (mRect.bottom - mRect.top);
    particles()[index].x = c * u - s * v;
    particles()[index].y = s * u + c * v;
}

void ParticleQuadEmitter::visit(PropertyVisitArchive& archive) {
    archive.visit(makeNvp("mPointLeftTop", mPointLeftTop));
    archive.visit(makeNvp("mPointLeftBottom", mPointLeftBottom));
    archive.visit(makeNvp("mPointRightTop", mPointRightTop));
    archive.visit(makeNvp("mPointRightBottom", mPointRightBottom));
    ParticleEmitter::visit(archive);
}

void ParticleQuadEmitter::load(XmlIArchive& archive) {
    archive.load(makeNvp("mPointLeftTop", mPointLeftTop));
    archive.load(makeNvp("mPointLeftBottom", mPointLeftBottom));
    archive.load(makeNvp("mPointRightTop", mPointRightTop));
    archive.load(makeNvp("mPointRightBottom", mPointRightBottom));
    ParticleEmitter::load(archive);
}

void ParticleQuadEmitter::save(XmlOutputArchive& archive) {
    archive.save(makeNvp("mPointLeftTop", mPointLeftTop));
    archive.save(makeNvp("mPointLeftBottom", mPointLeftBottom));
    archive.save(makeNvp("mPointRightTop", mPointRightTop));
    archive.save(makeNvp("mPointRightBottom", mPointRightBottom));
    ParticleEmitter::save(archive);
}

void ParticleQuadEmitter::placeParticle(int index) {
    float e = randomFraction();
    float o = randomFraction();
    Vector2<float> left = mPointLeftBottom + (mPointLeftTop - mPointLeftBottom) * o;
    Vector2<float> right = mPointRightBottom + (mPointRightTop - mPointRightBottom) * o;
    Vector2<float> top = mPointLeftTop + (mPointRightTop - mPointLeftTop) * e;
    Vector2<float> bottom = mPointLeftBottom + (mPointRightBottom - mPointLeftBottom) * e;
    Vector2<float> d1 = top - bottom;
    Vector2<float> d2 = right - left;
    float denominator = d2.y * d1.x - d2.x * d1.y;
    float t = 0.0f;
    // Parallel lines (a flat quad) have no crossing: stay on the bottom
    // point instead of spreading infinities.
    if (denominator != 0.0f) t = (d2.x * (bottom.y - left.y) - d2.y * (bottom.x - left.x)) / denominator;
    if (!std::isfinite(t)) t = 0.0f;
    Vector2<float> at = bottom + d1 * t;
    particles()[index].x = at.x;
    particles()[index].y = at.y;
}

void ParticleCircleEmitter::visit(PropertyVisitArchive& archive) {
    archive.visit(makeNvp("mRadius", mRadius));
    ParticleEmitter::visit(archive);
}

void ParticleCircleEmitter::load(XmlIArchive& archive) {
    archive.load(makeNvp("mRadius", mRadius));
    ParticleEmitter::load(archive);
}

void ParticleCircleEmitter::save(XmlOutputArchive& archive) {
    archive.save(makeNvp("mRadius", mRadius));
    ParticleEmitter::save(archive);
}

void ParticleCircleEmitter::placeParticle(int index) {
    float a = randomFraction() * 6.2831855f;
    float r = randomFraction() * mRadius;
    particles()[index].x = std::cos(a) * r;
    particles()[index].y = std::sin(a) * r;
}

}  // namespace QV
