#pragma once

#include <cstdint>

namespace QV {

class SoundResource;

// A run of at most 8,192 frames of a resource, decoded into an OpenAL buffer
// only while some source has it queued.
class SoundChunk {
public:
    // Decodes the frames and creates the buffer; false when no buffer came of it.
    bool upload();
    // Drops one queue reference; the last one deletes the buffer.
    void release();
    // Deletes the buffer whatever the references (the resource is going away).
    void destroy();

    unsigned buffer = 0;
    SoundResource* owner = nullptr;
    bool uploaded = false;
    uint32_t firstFrame = 0;
    uint32_t frames = 0;
    int32_t references = 0;
    int32_t bytes = 0;
};

}  // namespace QV
