// What the tools that write particle effects share: one-line curves, the
// settings every emitter of theirs makes, the random sprite spin, and the
// effect file itself.
#pragma once

#include <string>

#include "particle_affectors.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "timed_value_interval.h"
#include "xml_output_archive.h"

template <class T>
void flat(QV::TimedValueInterval<T>& curve, const T& value) {
    curve.clear();
    curve.setLinesCount(1);
    curve.addKey(0, 0, value);
    curve.addKey(0, 100, value);
}

template <class T>
void ramp(QV::TimedValueInterval<T>& curve, const T& from, const T& to) {
    curve.clear();
    curve.setLinesCount(1);
    curve.addKey(0, 0, from);
    curve.addKey(0, 100, to);
}

// From a through b (at `mid` percent of the life) to c.
template <class T>
void ramp3(QV::TimedValueInterval<T>& curve, const T& a, const T& b, const T& c, int mid) {
    curve.clear();
    curve.setLinesCount(1);
    curve.addKey(0, 0, a);
    curve.addKey(0, mid, b);
    curve.addKey(0, 100, c);
}

// Sprite, pool, rate and lives at unit scale, drawn additively.
inline void emitterBasics(QV::ParticleEmitter& e, const char* spriteFile, const char* sprite, int pool, float rate,
                          float life, float emitterLife, bool looped) {
    e.mMaxParticlesCount = pool;
    e.mSpriteFileName = spriteFile;
    e.mSpriteTableName = sprite;
    flat(e.mEmitRate, rate);
    flat(e.mInitialLifeTime, life);
    flat(e.mInitialScaleX, 1.0f);
    flat(e.mInitialScaleY, 1.0f);
    e.mEmitterLifeTime = emitterLife;
    e.mLooped = looped;
    e.mBlendMode = 2;
}

// Each particle starts at an angle up to maxAngle and turns either way at up
// to `speed` degrees a second.
inline QV::ParticleRotateSpriteAffector* randomSpin(float maxAngle, float speed) {
    auto* spin = new QV::ParticleRotateSpriteAffector();
    spin->mInitialMaxAngle = maxAngle;
    spin->mInitialRotateCoeffMin = -1.0f;
    spin->mInitialRotateCoeffMax = 1.0f;
    flat(spin->mInitialAngleVelocity, speed);
    return spin;
}

// Writes the effect in the archive form and deletes it.
inline bool writeEffect(QV::ParticleFX* fx, const std::string& path) {
    QV::XmlOutputArchive out;
    out.save(QV::nvp<QV::ParticleFX*>("ParticleFX", &fx));
    delete fx;
    return out.saveFile(path);
}
