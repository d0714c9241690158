#include "sound_resource.h"

namespace QV {

SoundResource::SoundResource(const SoundDescription& description)
    : group(description.group),
      volume(description.volume),
      looped(description.looped),
      priority(description.priority) {}

SoundResource::~SoundResource() {
    for (SoundChunk& chunk : chunks) chunk.destroy();
    chunks.clear();
    decoder.close();
}

void SoundResource::buildChunks(const std::string& resourceName) {
    decoder.open(resourceName);
    cutChunks();
}

void SoundResource::buildChunksFromData(const void* bytes, size_t count, const std::string& name) {
    decoder.openData(bytes, count, name);
    cutChunks();
}

void SoundResource::cutChunks() {
    chunks.clear();
    if (!decoder.isOpened()) return;
    uint32_t total = decoder.totalFrames();
    uint32_t count = total / kSoundChunkFrames + (total % kSoundChunkFrames != 0 ? 1 : 0);
    chunks.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        SoundChunk& chunk = chunks[i];
        chunk.owner = this;
        chunk.firstFrame = kSoundChunkFrames * i;
        uint32_t left = total - chunk.firstFrame;
        chunk.frames = left < kSoundChunkFrames ? left : kSoundChunkFrames;
    }
}

SoundChunk* SoundResource::findChunkByBuffer(unsigned buffer) {
    if (buffer == 0) return nullptr;
    for (SoundChunk& chunk : chunks)
        if (chunk.uploaded && chunk.buffer == buffer) return &chunk;
    return nullptr;
}

}  // namespace QV
