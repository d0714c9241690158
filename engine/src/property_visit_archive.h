#pragma once

#include <string>
#include <vector>

#include "color.h"
#include "rect.h"
#include "serializable.h"
#include "vector2.h"

namespace QV {

template <class T>
class TimedValueInterval;
template <class T>
class ValueRange;
class ParticleEmitter;
class ParticleAffector;
class PropertyVisitArchive;

// What a property panel or editor implements to be shown an object's fields.
class IPropertyVisitor {
public:
    virtual ~IPropertyVisitor() = default;
    virtual void reserved() {}
    virtual void beginGroup() {}
    virtual void endGroup() {}
    virtual void visitColorCurve(PropertyVisitArchive&, nvp<TimedValueInterval<Color>>) {}
    virtual void visitValueRange(PropertyVisitArchive&, nvp<ValueRange<Vector2<float>>>) {}
    virtual void reservedGroup() {}
    virtual void visitFloatCurve(PropertyVisitArchive&, nvp<TimedValueInterval<float>>) {}
    virtual void visitAffector(PropertyVisitArchive&, nvp<ParticleAffector>) {}
    virtual void visitEmitter(PropertyVisitArchive&, nvp<ParticleEmitter>) {}
    virtual void visitBool(PropertyVisitArchive&, nvp<bool>) {}
    virtual void visitColor(PropertyVisitArchive&, nvp<Color>) {}
    virtual void visitRect(PropertyVisitArchive&, nvp<Rect>) {}
    virtual void visitVector2(PropertyVisitArchive&, nvp<Vector2<float>>) {}
    virtual void visitString(PropertyVisitArchive&, nvp<std::string>) {}
    virtual void visitFloat(PropertyVisitArchive&, nvp<float>) {}
    virtual void visitInt(PropertyVisitArchive&, nvp<int>) {}
};

// Reports an object's fields to a visitor, in the order the files hold them.
class PropertyVisitArchive {
public:
    explicit PropertyVisitArchive(IPropertyVisitor* target) : mTarget(target) {}
    virtual ~PropertyVisitArchive() = default;

    void visit(nvp<int> pair) { mTarget->visitInt(*this, pair); }
    void visit(nvp<float> pair) { mTarget->visitFloat(*this, pair); }
    void visit(nvp<bool> pair) { mTarget->visitBool(*this, pair); }
    void visit(nvp<std::string> pair) { mTarget->visitString(*this, pair); }
    void visit(nvp<Vector2<float>> pair) { mTarget->visitVector2(*this, pair); }
    void visit(nvp<Rect> pair) { mTarget->visitRect(*this, pair); }
    void visit(nvp<Color> pair) { mTarget->visitColor(*this, pair); }
    void visit(nvp<TimedValueInterval<float>> pair) { mTarget->visitFloatCurve(*this, pair); }
    void visit(nvp<TimedValueInterval<Color>> pair) { mTarget->visitColorCurve(*this, pair); }
    void visit(nvp<ValueRange<Vector2<float>>> pair) { mTarget->visitValueRange(*this, pair); }

    void visit(nvp<ParticleEmitter*> pair) {
        mTarget->beginGroup();
        mTarget->visitEmitter(*this, nvp<ParticleEmitter>(pair.name(), *pair.value()));
        mTarget->endGroup();
    }
    void visit(nvp<ParticleAffector*> pair) {
        mTarget->beginGroup();
        mTarget->visitAffector(*this, nvp<ParticleAffector>(pair.name(), *pair.value()));
        mTarget->endGroup();
    }
    // Curve keys: the key shows its own fields inside two groups.
    template <class T>
    void visit(nvp<T*> pair) {
        mTarget->beginGroup();
        mTarget->beginGroup();
        if (*pair.value()) (*pair.value())->visit(*this);
        mTarget->endGroup();
        mTarget->endGroup();
    }
    template <class T>
    void visit(nvp<std::vector<T>> pair) {
        mTarget->beginGroup();
        for (size_t i = 0; i < pair.value()->size(); ++i) visit(nvp<T>("e" + std::to_string(i), &(*pair.value())[i]));
        mTarget->endGroup();
    }

    IPropertyVisitor* target() const { return mTarget; }

private:
    IPropertyVisitor* mTarget;
};

}  // namespace QV
