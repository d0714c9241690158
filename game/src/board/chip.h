#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/chip_destroy_info.h"
#include "board/objects_group.h"
#include "board/property_values.h"
#include "vector2.h"

class ChipPrototype;
class ChipSelector;
class GameField;

// Stamps chips: taken by every reset, landing and swap; larger is newer.
extern int32_t chipOrderCounter;

// One piece on the board: a stack of behaviour layers from a prototype.
// Pooled by the chip manager; never deleted while a level runs.
class Chip {
public:
    Chip();
    Chip(const Chip&) = delete;
    Chip& operator=(const Chip&) = delete;

    void reset();
    void applyPrototype(const ChipPrototype* prototype);

    bool canFall() const;
    bool canIterateWithGroup() const;
    bool hasBehavior(int kind) const;
    bool canBeSwapped() const;
    void playIdleMarker(const std::string& name);
    // Enables the named child node of every layer's idle scene drawables.
    void activateSceneNode(const std::string& name);

    void setProperty(const std::string& key, const DataHolder& value);
    bool hasProperty(const std::string& key) const;
    DataHolder getProperty(const std::string& key) const;
    void removeProperty(const std::string& key);

    // 0 not a member (the direction ends), 1 member, 2 a moving member
    // without "lock" (the whole axis is void).
    static int groupRelation(const Chip* candidate, const Chip* origin);

    // Peels the outer layer (see the field's destruction code).
    void destroy(GameField* field, bool hitNeighbours, bool force);
    static void hitNeighbours(Chip* source, GameField* field);
    static void hitByNeighbour(Chip* chip, Chip* source, GameField* field, bool forced);
    // One frame of a fall: accelerates towards the target, lands, falls on
    // or starts the landing shake.
    void moveTowardsTarget(GameField* field, float dt);

    QV::Vector2<float> position{0.5f, 0.5f};
    uint8_t selected = 0;
    uint8_t destroyed = 0;
    QV::Vector2<float> target{0.5f, 0.5f};
    float speed = 7.5f;
    QV::Vector2<float> shakeOffset;
    QV::Vector2<float> shakeAmplitude;
    float shakeDuration = 0.0f;
    float shakeTimeLeft = 0.0f;
    float shakePhaseSpan = 0.0f;
    BehaviorsGroup behaviors;
    int32_t group = -1;
    ChipSelector* selector = nullptr;
    int32_t radius = 1;
    uint8_t hitThisFrame = 0;
    int32_t detonating = 0;
    PropertyMap properties;
    int32_t moveState = 0;
    int32_t orderStamp = 0;
    // Set once destruction has begun.
    uint8_t destroyInProgress = 0;
    // Set when a delayed destruction is queued.
    int32_t destroyScheduled = 0;
    // Read by the store's chip value table.
    std::vector<uint32_t> ids;
    // Changes each time the pool hands this chip out; whoever keeps a chip
    // across frames keeps this too and drops the chip once it differs.
    uint32_t generation = 0;
};
