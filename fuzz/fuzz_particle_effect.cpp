// Reads arbitrary bytes as a particle effect document through the archive,
// writes it back in canonical form, and when the pools are small runs the
// effect, a copy of it, for a few frames.
#include <cstddef>
#include <cstdint>
#include <string>

#include "object_factory.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "xml_iarchive.h"
#include "xml_output_archive.h"

namespace {

bool smallEnoughToRun(const QV::ParticleFX& fx) {
    long particles = 0;
    long segments = 0;
    for (const QV::ParticleEmitter* e : fx.mParticleEmitters) {
        particles += e->mMaxParticlesCount;
        if (e->mUseTails) segments += static_cast<long>(e->mMaxParticlesCount) * (e->mMaxSegments + 107);
    }
    return fx.mParticleEmitters.size() <= 32 && particles <= 4096 && segments <= 200000;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QV::ObjectFactory* factory = new QV::ObjectFactory();
    (void)factory;
    QV::ParticleSystem system;  // registers the classes; owns copies made below

    QV::XmlIArchive archive(reinterpret_cast<const char*>(data), size);
    if (!archive.isLoaded()) return 0;
    QV::ParticleFX* fx = nullptr;
    archive.load(QV::nvp<QV::ParticleFX*>("ParticleFX", &fx));
    if (!fx) return 0;

    QV::XmlOutputArchive out;
    out.save(QV::nvp<QV::ParticleFX*>("ParticleFX", &fx));
    std::string text = out.text();

    if (smallEnoughToRun(*fx)) {
        fx->mAnimationFilename.clear();  // no file system here
        fx->init();
        QV::ParticleFX* copy = system.createParticleFXCopy(fx);
        for (int frame = 0; frame < 8; ++frame) {
            fx->update(0.05f);
            copy->update(0.1f);
            copy->mPosition.x += 3.0f;
        }
        copy->setAlpha(0.5f);
        system.releaseParticleFX(copy);
    }
    delete fx;
    return 0;
}
