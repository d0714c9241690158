#pragma once

#include <ogg/ogg.h>
#include <theora/theora.h>

#include <cstdint>

namespace QV {

class File;

// The Ogg demultiplexer and the Theora decoder of one video: finds the
// Theora logical stream among the file's streams, reads its three headers
// and then hands out decoded frames one at a time. Other streams are
// skipped. Knows nothing of timing or pixels beyond the YUV planes.
class VideoTheoraReader {
public:
    enum class Result { Frame, End, Error };

    // Largest coded frame accepted, in pixels (4096 x 4096).
    static constexpr uint64_t kMaxFramePixels = 4096ull * 4096ull;

    VideoTheoraReader();
    ~VideoTheoraReader();
    VideoTheoraReader(const VideoTheoraReader&) = delete;
    VideoTheoraReader& operator=(const VideoTheoraReader&) = delete;

    // Reads the headers from the file's start (the file stays the caller's).
    // False when there is no Theora stream, the headers are cut short or
    // damaged, or the stream is not 4:2:0 or too large; logged.
    bool open(File* file);
    // The next frame into *frame (valid until the next call or clear).
    Result decodeFrame(yuv_buffer* frame);
    // Frees every Ogg and Theora state; open may be called again.
    void clear();

    bool isOpen() const { return mOpen; }
    uint32_t frameWidth() const { return mInfo.width; }
    uint32_t frameHeight() const { return mInfo.height; }
    float fps() const;
    const theora_info& info() const { return mInfo; }

private:
    // Up to 4,096 more bytes of the file into the sync state; the count read.
    int readBlock();
    bool findTheoraStream();
    bool readHeaders();
    void logHeaders();

    File* mFile = nullptr;
    ogg_sync_state mSync;
    ogg_stream_state mStream;
    ogg_page mPage;
    ogg_packet mPacket;
    theora_info mInfo;
    theora_comment mComment;
    theora_state mDecoder;
    int mHeaders = 0;
    bool mStreamInit = false;
    bool mDecoderInit = false;
    bool mOpen = false;
};

}  // namespace QV
