#pragma once

#include <string>
#include <vector>

#include "property_visit_archive.h"
#include "serializable.h"
#include "xml_iarchive.h"
#include "xml_output_archive.h"

namespace QV {

class ParticleEmitter;

// Changes the particles of one emitter after they are born. The base does
// nothing: it is what an affector item without a class name becomes.
class ParticleAffector : public Serializable {
public:
    ParticleAffector() = default;
    // A copy belongs to no emitter until it is attached.
    ParticleAffector(const ParticleAffector&) : Serializable() {}
    ParticleAffector& operator=(const ParticleAffector&) = delete;
    ~ParticleAffector() override = default;

    virtual void update(float) {}
    virtual void resetParticle(int) {}
    virtual void attach(ParticleEmitter* emitter) { mEmitter = emitter; }
    virtual void resize(int) {}
    void visit(PropertyVisitArchive&) override {}
    void load(XmlIArchive&) override {}
    void save(XmlOutputArchive&) override {}
    virtual std::string getClassName() const { return "ParticleAffector"; }

    ParticleEmitter* emitter() const { return mEmitter; }

protected:
    ParticleEmitter* mEmitter = nullptr;
};

// An affector that keeps one record per particle record of its emitter's
// pool, indexed like the pool.
template <class Record>
class ParticleAffectorWithRecords : public ParticleAffector {
public:
    ParticleAffectorWithRecords() = default;
    ParticleAffectorWithRecords(const ParticleAffectorWithRecords& other) : ParticleAffector(other) {}

    void attach(ParticleEmitter* emitter) override;
    void resize(int count) override {
        mRecords.resize(count > 0 ? static_cast<size_t>(count) : 0u, Record{});
    }
    const std::vector<Record>& records() const { return mRecords; }

protected:
    std::vector<Record> mRecords;
};

// Serialized fields go through one list for all three directions.
#define QV_PARTICLE_SERIALIZE_FIELDS                                                   \
    void visit(PropertyVisitArchive& archive) override {                               \
        fields(archive, [](PropertyVisitArchive& a, auto pair) { a.visit(pair); });    \
    }                                                                                  \
    void load(XmlIArchive& archive) override {                                         \
        fields(archive, [](XmlIArchive& a, auto pair) { a.load(pair); });              \
    }                                                                                  \
    void save(XmlOutputArchive& archive) override {                                    \
        fields(archive, [](XmlOutputArchive& a, auto pair) { a.save(pair); });         \
    }

}  // namespace QV
