#pragma once

#include <cstdint>

namespace QV {

class SoundManager;
class SoundResource;

// One playing sound on an OpenAL source of its own, fed from its resource's
// chunks through a queue of at most two buffers.
class SoundChannel {
public:
    // Generates the source and applies the gain for own volume 1.0.
    void create(SoundManager* manager, SoundResource* resource);
    // Queues the first chunks and plays.
    void start();
    // Stores the own volume and sets the source gain from it.
    void setVolume(float v);
    bool isPlaying();
    // One streaming step: returns played buffers and queues the next chunks.
    void refill();
    // Stops the source and takes every buffer off it.
    void stopSource();
    // Deletes the source (after stopSource).
    void deleteSource();

    // Next free record of the manager's pool while this one is free.
    int nextFree = -1;

    unsigned source = 0;
    SoundResource* resource = nullptr;
    int lastQueued = -1;
    float volume = 1.0f;
    bool finished = false;
    bool hasSource = false;
    uint32_t age = 0;

private:
    bool queueChunk(int index);

    SoundManager* mManager = nullptr;
};

}  // namespace QV
