// Feeds arbitrary bytes to the sound decoder as a sound file and decodes
// every chunk it announces.
#include <cstddef>
#include <cstdint>

#include "sound_system/sound_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QV::SoundResource resource{QV::SoundDescription()};
    resource.buildChunksFromData(data, size, "fuzz");
    unsigned char pcm[QV::kSoundChunkBytes];
    int decodedChunks = 0;
    for (const QV::SoundChunk& chunk : resource.chunks) {
        resource.decoder.decodeChunk(chunk.firstFrame, chunk.frames, pcm, sizeof(pcm));
        // A forged length may announce millions of chunks; a few show the decoder copes.
        if (++decodedChunks == 8) break;
    }
    return 0;
}
