#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <string>
#include <vector>

namespace QV {

// Frames per chunk and the bytes one decoded chunk may take (16-bit, at most two channels).
constexpr uint32_t kSoundChunkFrames = 8192;
constexpr int kSoundChunkBytes = kSoundChunkFrames * 2 * 2;

// An Ogg Vorbis stream decoded from an in-memory copy of its file.
class SoundDecoder {
public:
    SoundDecoder();
    ~SoundDecoder();
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;

    // Reads the resource from package "default" and opens the stream over it.
    // False when the file is missing; a file that is not a playable stream
    // leaves the decoder closed (isOpened false) but returns true.
    bool open(const std::string& resourceName);

    // Opens the stream over the given bytes (the decoder keeps its own copy).
    // False, with the decoder closed, when the bytes are not a mono or stereo
    // Ogg Vorbis stream.
    bool openData(const void* bytes, size_t count, const std::string& name);

    // Decodes frames from firstFrame as 16-bit little-endian interleaved PCM;
    // writes at most capacity bytes and returns the bytes written.
    int decodeChunk(uint32_t firstFrame, uint32_t frameCount, void* destination, int capacity);

    void close();

    bool isOpened() const { return mOpened; }
    int channels() const { return mChannels; }
    int rate() const { return mRate; }
    uint32_t totalFrames() const { return mTotalFrames; }
    int size() const { return mSize; }

    // The memory callbacks, public so their edge cases can be checked directly.
    static size_t readCallback(void* destination, size_t itemSize, size_t itemCount, void* source);
    static int seekCallback(void* source, ogg_int64_t offset, int origin);
    static int closeCallback(void* source);
    static long tellCallback(void* source);
    int position() const { return mPosition; }

private:
    OggVorbis_File mVorbis;
    bool mOpened = false;
    std::vector<unsigned char> mData;
    int32_t mSize = 0;
    int32_t mPosition = 0;
    int32_t mChannels = 0;
    int32_t mRate = 0;
    uint32_t mTotalFrames = 0;
};

}  // namespace QV
