#pragma once

#include <pthread.h>

#include <map>
#include <string>
#include <vector>

#include "singleton.h"

namespace QV {

class ParticleFX;

// Makes, reuses and takes back every particle effect: parses each effect file
// once into a prototype, hands out copies, pools given-back effects by file
// name and runs the effects handed over to it ("managed") until they finish.
class ParticleSystem : public Singleton<ParticleSystem> {
public:
    struct ManagedEffect {
        ParticleFX* effect;
        int layer;
    };

    // The longest frame step; a loading hitch must not emit a burst.
    static constexpr float kMaxFrameTime = 0.1f;

    ParticleSystem();
    ~ParticleSystem() override;

    void registerCreators();
    // A running effect of the file; null only when the file yields no effect.
    ParticleFX* createParticleFX(const std::string& fileName);
    ParticleFX* createParticleFXCopy(ParticleFX* source);
    void releaseParticleFX(ParticleFX* effect);
    // Per-frame step with the timer's frame time.
    void update();
    // The same step with a given frame time (capped at kMaxFrameTime).
    void advance(float frameTime);
    void drawManagedEffects(int layer, float alpha);
    void addManagedEffect(ParticleFX* effect, int layer);
    void setAutoUpdate(bool autoUpdate);
    bool autoUpdate() const;

    // Lists an effect as handed out unless it is already listed.
    void addActive(ParticleFX* effect);

    // Readers take the lock (loading jobs create effects meanwhile) and so
    // hand out copies of the lists.
    std::vector<ParticleFX*> activeEffects() const;
    std::vector<ManagedEffect> managedEffects() const;
    size_t pooledCount(const std::string& fileName) const;
    // Prototypes live as long as the system, so the pointer stays valid.
    ParticleFX* prototype(const std::string& fileName) const;

private:
    void reuse(ParticleFX* effect);

    std::multimap<std::string, ParticleFX*> mPool;
    std::vector<ParticleFX*> mActive;
    std::map<std::string, ParticleFX*> mPrototypes;
    std::vector<ManagedEffect> mManaged;
    bool mAutoUpdate = true;
    int mPoolCap = -1;
    mutable pthread_mutex_t mMutex;
};

}  // namespace QV
