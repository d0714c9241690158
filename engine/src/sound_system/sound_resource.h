#pragma once

#include <string>
#include <vector>

#include "sound_chunk.h"
#include "sound_decoder.h"
#include "sound_description.h"

namespace QV {

// A registered sound: the compressed data with its decoder, the chunk table
// and the settings copied from its description.
class SoundResource {
public:
    explicit SoundResource(const SoundDescription& description);
    ~SoundResource();
    SoundResource(const SoundResource&) = delete;
    SoundResource& operator=(const SoundResource&) = delete;

    // Opens the named resource and cuts the stream into chunks; a missing or
    // unplayable file leaves no chunks.
    void buildChunks(const std::string& resourceName);
    // The same over bytes already in memory.
    void buildChunksFromData(const void* bytes, size_t count, const std::string& name);

    int chunkCount() const { return static_cast<int>(chunks.size()); }
    // The chunk whose buffer has the given name, or null.
    SoundChunk* findChunkByBuffer(unsigned buffer);

    SoundDecoder decoder;
    std::vector<SoundChunk> chunks;
    int group = 0;
    float volume = 1.0f;
    bool looped = false;
    int priority = 0;
    int references = 0;

private:
    void cutChunks();
};

}  // namespace QV
