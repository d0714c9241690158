// Decoding one 8,192-frame chunk happens on the calling thread inside the
// sound manager's lock whenever a source needs its next buffer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "../tools/ogg_vorbis_writer.h"
#include "sound_system/sound_resource.h"

namespace {

std::string stereoTone(uint32_t frames) {
    std::vector<float> samples(frames * 2);
    for (uint32_t i = 0; i < frames; ++i) {
        samples[i * 2] = 0.5f * static_cast<float>(std::sin(i * 0.0627));
        samples[i * 2 + 1] = 0.4f * static_cast<float>(std::sin(i * 0.0411));
    }
    return qvsound::encodeOggVorbis(samples, 2, 44100);
}

void BM_DecodeChunk(benchmark::State& state) {
    std::string ogg = stereoTone(8192 * 8);
    QV::SoundResource resource{QV::SoundDescription()};
    resource.buildChunksFromData(ogg.data(), ogg.size(), "bench");
    unsigned char pcm[QV::kSoundChunkBytes];
    size_t index = 0;
    for (auto _ : state) {
        const QV::SoundChunk& chunk = resource.chunks[index++ % resource.chunks.size()];
        benchmark::DoNotOptimize(resource.decoder.decodeChunk(chunk.firstFrame, chunk.frames, pcm, sizeof(pcm)));
    }
    state.SetItemsProcessed(state.iterations() * QV::kSoundChunkFrames);
}
BENCHMARK(BM_DecodeChunk);

void BM_OpenAndCutChunks(benchmark::State& state) {
    std::string ogg = stereoTone(44100 * 10);
    for (auto _ : state) {
        QV::SoundResource resource{QV::SoundDescription()};
        resource.buildChunksFromData(ogg.data(), ogg.size(), "bench");
        benchmark::DoNotOptimize(resource.chunkCount());
    }
}
BENCHMARK(BM_OpenAndCutChunks);

}  // namespace

BENCHMARK_MAIN();
