#include "chip.h"

#include "behavior.h"
#include "chip_manager.h"

int32_t chipOrderCounter = 0;

Chip::Chip() { reset(); }

void Chip::reset() {
    position = {0.5f, 0.5f};
    moveState = 0;
    selected = 0;
    destroyed = 0;
    shakeOffset = {0.0f, 0.0f};
    shakeAmplitude = {0.0f, 0.0f};
    shakeDuration = 0.0f;
    shakeTimeLeft = 0.0f;
    orderStamp = chipOrderCounter++;
    speed = 7.5f;
    behaviors.clear();
    radius = 1;
    selector = nullptr;
    hitThisFrame = 0;
    detonating = 0;
    properties.clear();
    destroyInProgress = 0;
    destroyScheduled = 0;
    ids.clear();
}

void Chip::applyPrototype(const ChipPrototype* prototype) {
    if (!prototype) return;
    reset();
    group = prototype->group;
    behaviors.clear();
    for (Behavior* layer : prototype->behaviors) behaviors.add(new Behavior(*layer));
    selector = prototype->selector;
}

bool Chip::canFall() const { return behaviors.canFall(); }

bool Chip::canIterateWithGroup() const {
    for (Behavior* layer : behaviors) {
        if (!layer->canIterateWithGroup) return false;
    }
    return true;
}

bool Chip::hasBehavior(int kind) const {
    for (Behavior* layer : behaviors) {
        if (layer->kind == kind) return true;
    }
    return false;
}

bool Chip::canBeSwapped() const {
    if (!canFall()) return false;
    return hasBehavior(kSimple) || hasBehavior(kBombStage1) || hasBehavior(kWaveDSide) ||
           hasBehavior(kWaveHor) || hasBehavior(kWaveVer) || hasBehavior(kDestroyColor);
}

void Chip::playIdleMarker(const std::string& name) {
    for (Behavior* layer : behaviors) layer->playIdleMarker(name);
}

void Chip::activateSceneNode(const std::string& name) {
    for (Behavior* layer : behaviors) layer->activateSceneNode(name);
}

void Chip::setProperty(const std::string& key, const DataHolder& value) { properties[key] = value; }

bool Chip::hasProperty(const std::string& key) const { return properties.count(key) != 0; }

DataHolder Chip::getProperty(const std::string& key) const {
    auto it = properties.find(key);
    return it == properties.end() ? DataHolder() : it->second;
}

void Chip::removeProperty(const std::string& key) { properties.erase(key); }

int Chip::groupRelation(const Chip* candidate, const Chip* origin) {
    if (!candidate || candidate->behaviors.empty() || candidate->destroyed ||
        !candidate->canIterateWithGroup() || candidate->group != origin->group) {
        return 0;
    }
    if (candidate->moveState != 0 && !candidate->hasProperty("lock")) return 2;
    return 1;
}

ChipDestroyInfo::ChipDestroyInfo(const Chip* source) {
    column = static_cast<int32_t>(source->position.x);
    row = static_cast<int32_t>(source->position.y);
    group = source->group;
    for (Behavior* layer : source->behaviors) kinds.push_back(layer->kind);
    levelGoals = source->behaviors.countLevelGoals();
    chip = const_cast<Chip*>(source);
}

bool ChipDestroyInfo::hasAnyKind(const int* list) const {
    for (; *list != 0; ++list) {
        for (int32_t kind : kinds) {
            if (kind == *list) return true;
        }
    }
    return false;
}
