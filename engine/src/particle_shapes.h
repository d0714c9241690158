#pragma once

#include "particle_emitter.h"
#include "rect.h"

namespace QV {

// Every particle starts at the emitter.
class ParticlePointEmitter : public ParticleEmitter {
public:
    std::string getClassName() const override { return "ParticlePointEmitter"; }
    void placeParticle(int index) override;
};

// Uniform over a rectangle turned about the emitter's origin.
class ParticleBoxEmitter : public ParticleEmitter {
public:
    void visit(PropertyVisitArchive& archive) override;
    void load(XmlIArchive& archive) override;
    void save(XmlOutputArchive& archive) override;
    std::string getClassName() const override { return "ParticleBoxEmitter"; }
    void placeParticle(int index) override;

    Rect mRect;
    float mRectAngle = 0.0f;
};

// Inside a convex quadrilateral, by one fraction along the horizontal edges
// and one up the vertical edges.
class ParticleQuadEmitter : public ParticleEmitter {
public:
    void visit(PropertyVisitArchive& archive) override;
    void load(XmlIArchive& archive) override;
    void save(XmlOutputArchive& archive) override;
    std::string getClassName() const override { return "ParticleQuadEmitter"; }
    void placeParticle(int index) override;

    Vector2<float> mPointLeftTop;
    Vector2<float> mPointLeftBottom;
    Vector2<float> mPointRightTop;
    Vector2<float> mPointRightBottom;
};

// A random angle and a uniform radius, so denser near the centre.
class ParticleCircleEmitter : public ParticleEmitter {
public:
    void visit(PropertyVisitArchive& archive) override;
    void load(XmlIArchive& archive) override;
    void save(XmlOutputArchive& archive) override;
    std::string getClassName() const override { return "ParticleCircleEmitter"; }
    void placeParticle(int index) override;

    float mRadius = 0.0f;
};

}  // namespace QV
