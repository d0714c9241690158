#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "../../../tools/ogg_vorbis_writer.h"
#include "log_system.h"
#include "sound_system/sound_decoder.h"
#include "sound_system/sound_resource.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

struct ChunkCase {
    uint32_t frames;
    std::vector<uint32_t> chunkFrames;
};

TEST(SoundDecoder, ChunkTableCoversTheStream) {
    const ChunkCase cases[] = {
        {0, {}},
        {1, {1}},
        {8192, {8192}},
        {8193, {8192, 1}},
        {20000, {8192, 8192, 3616}},
    };
    for (const ChunkCase& c : cases) {
        std::string ogg = qvtest::makeToneOgg(c.frames);
        QV::SoundResource resource{QV::SoundDescription()};
        resource.buildChunksFromData(ogg.data(), ogg.size(), "tone");
        ASSERT_TRUE(resource.decoder.isOpened()) << c.frames;
        EXPECT_EQ(resource.decoder.totalFrames(), c.frames);
        ASSERT_EQ(resource.chunks.size(), c.chunkFrames.size()) << c.frames;
        for (size_t i = 0; i < c.chunkFrames.size(); ++i) {
            EXPECT_EQ(resource.chunks[i].firstFrame, 8192u * i);
            EXPECT_EQ(resource.chunks[i].frames, c.chunkFrames[i]);
            EXPECT_EQ(resource.chunks[i].owner, &resource);
            EXPECT_FALSE(resource.chunks[i].uploaded);
        }
    }
}

// Decoding chunk by chunk, in any order, gives the same PCM as one straight
// decode of the whole stream.
TEST(SoundDecoder, ChunksDecodeInAnyOrderToTheStraightStream) {
    for (int channels : {1, 2}) {
        std::string ogg = qvtest::makeToneOgg(20000, channels, 22050);
        QV::SoundResource resource{QV::SoundDescription()};
        resource.buildChunksFromData(ogg.data(), ogg.size(), "tone");
        ASSERT_EQ(resource.chunks.size(), 3u);
        const int frameBytes = 2 * channels;

        std::vector<char> straight(20000 * frameBytes);
        {
            QV::SoundDecoder whole;
            ASSERT_TRUE(whole.openData(ogg.data(), ogg.size(), "tone"));
            EXPECT_EQ(whole.channels(), channels);
            EXPECT_EQ(whole.rate(), 22050);
            EXPECT_EQ(whole.decodeChunk(0, 20000, straight.data(), static_cast<int>(straight.size())),
                      static_cast<int>(straight.size()));
        }
        for (int index : {2, 0, 1}) {
            const QV::SoundChunk& chunk = resource.chunks[index];
            char pcm[QV::kSoundChunkBytes];
            int bytes = resource.decoder.decodeChunk(chunk.firstFrame, chunk.frames, pcm, sizeof(pcm));
            ASSERT_EQ(bytes, static_cast<int>(chunk.frames) * frameBytes) << index;
            EXPECT_EQ(std::memcmp(pcm, straight.data() + chunk.firstFrame * frameBytes, bytes), 0) << index;
        }
        // The destination's capacity bounds what is written.
        char small[100];
        EXPECT_EQ(resource.decoder.decodeChunk(0, 8192, small, sizeof(small)), 100);
    }
}

TEST(SoundDecoder, MemoryCallbacks) {
    QV::SoundDecoder decoder;
    const char bytes[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    decoder.openData(bytes, sizeof(bytes), "ten");  // not Ogg: closed, but the data is kept
    EXPECT_FALSE(decoder.isOpened());
    void* self = &decoder;

    struct SeekCase {
        long long offset;
        int origin;
        int result;
        int position;
    } seeks[] = {
        {0, SEEK_END, 0, 9},     // the end counts from the last byte
        {1, SEEK_END, -1, 9},    // size itself is refused, position kept
        {3, SEEK_SET, 0, 3},
        {2, SEEK_CUR, 0, 5},
        {-6, SEEK_CUR, -1, 5},
        {-9, SEEK_END, 0, 0},
        {10, SEEK_SET, -1, 0},
        {1LL << 40, SEEK_SET, -1, 0},  // 64-bit offsets do not wrap
        {2, 7, -1, 0},
    };
    for (const SeekCase& c : seeks) {
        EXPECT_EQ(QV::SoundDecoder::seekCallback(self, c.offset, c.origin), c.result) << c.offset << " " << c.origin;
        EXPECT_EQ(QV::SoundDecoder::tellCallback(self), c.position);
    }

    char out[16] = {};
    ASSERT_EQ(QV::SoundDecoder::seekCallback(self, 3, SEEK_SET), 0);
    EXPECT_EQ(QV::SoundDecoder::readCallback(out, 2, 10, self), 3u);  // 7 bytes left: 3 whole items
    EXPECT_EQ(out[0], 3);
    EXPECT_EQ(out[5], 8);
    EXPECT_EQ(decoder.position(), 9);
    EXPECT_EQ(QV::SoundDecoder::readCallback(out, 1, 5, self), 1u);
    EXPECT_EQ(QV::SoundDecoder::readCallback(out, 1, 5, self), 0u);  // at the end
    ASSERT_EQ(QV::SoundDecoder::seekCallback(self, 0, SEEK_SET), 0);
    EXPECT_EQ(QV::SoundDecoder::readCallback(out, 0, 5, self), 0u);
    EXPECT_EQ(QV::SoundDecoder::readCallback(nullptr, 1, 5, self), 0u);
    EXPECT_EQ(QV::SoundDecoder::readCallback(out, 1, 5, nullptr), 0u);
    EXPECT_EQ(QV::SoundDecoder::readCallback(out, SIZE_MAX / 2, 4, self), 0u);  // no overflow
    EXPECT_EQ(decoder.position(), 0);
    EXPECT_EQ(QV::SoundDecoder::closeCallback(self), 0);
    EXPECT_EQ(QV::SoundDecoder::closeCallback(nullptr), -1);
    EXPECT_EQ(QV::SoundDecoder::tellCallback(nullptr), -1);
}

// Files the decoder can't play leave a resource with no chunks, and say why.
TEST(SoundDecoder, UnplayableDataGivesNoChunks) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    QV::LogSystem log;
    std::string good = qvtest::makeToneOgg(10000);
    std::vector<float> six(6 * 1000, 0.1f);
    struct Case {
        const char* name;
        std::string bytes;
        const char* logged;
    } cases[] = {
        {"text", "not an ogg file at all", "WARNING. Sound is not Ogg Vorbis text"},
        {"empty", "", "WARNING. Sound is not Ogg Vorbis empty"},
        {"truncated", good.substr(0, good.size() / 20), "WARNING. Sound is not Ogg Vorbis truncated"},
        {"six", qvsound::encodeOggVorbis(six, 6, 22050), "WARNING. Sound has 6 channels, only mono and stereo play six"},
    };
    for (const Case& c : cases) {
        QV::SoundResource resource{QV::SoundDescription()};
        resource.buildChunksFromData(c.bytes.data(), c.bytes.size(), c.name);
        EXPECT_FALSE(resource.decoder.isOpened()) << c.name;
        EXPECT_EQ(resource.chunkCount(), 0) << c.name;
        char pcm[64];
        EXPECT_EQ(resource.decoder.decodeChunk(0, 8, pcm, sizeof(pcm)), 0);
        EXPECT_NE(qvtest::readFile("QV.log").find(c.logged), std::string::npos) << c.name;
    }
}

}  // namespace
