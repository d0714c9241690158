#include "video_theora_reader.h"

#include <cstring>
#include <string>

#include "file.h"
#include "log_system.h"

namespace QV {

namespace {

constexpr int kBlockSize = 4096;

}  // namespace

VideoTheoraReader::VideoTheoraReader() {
    ogg_sync_init(&mSync);
    theora_info_init(&mInfo);
    theora_comment_init(&mComment);
    std::memset(&mStream, 0, sizeof(mStream));
    std::memset(&mDecoder, 0, sizeof(mDecoder));
}

VideoTheoraReader::~VideoTheoraReader() {
    clear();
    ogg_sync_clear(&mSync);
    theora_comment_clear(&mComment);
    theora_info_clear(&mInfo);
}

void VideoTheoraReader::clear() {
    if (mStreamInit) ogg_stream_clear(&mStream);
    mStreamInit = false;
    if (mDecoderInit) theora_clear(&mDecoder);
    mDecoderInit = false;
    ogg_sync_clear(&mSync);
    ogg_sync_init(&mSync);
    theora_comment_clear(&mComment);
    theora_info_clear(&mInfo);
    theora_info_init(&mInfo);
    theora_comment_init(&mComment);
    mHeaders = 0;
    mOpen = false;
    mFile = nullptr;
}

float VideoTheoraReader::fps() const {
    if (mInfo.fps_denominator == 0) return 0.0f;
    return static_cast<float>(mInfo.fps_numerator) / static_cast<float>(mInfo.fps_denominator);
}

int VideoTheoraReader::readBlock() {
    if (!mFile) return 0;
    char* buffer = ogg_sync_buffer(&mSync, kBlockSize);
    if (!buffer) return 0;
    const int count = mFile->read(buffer, kBlockSize);
    if (count <= 0) return 0;
    ogg_sync_wrote(&mSync, count);
    return count;
}

bool VideoTheoraReader::findTheoraStream() {
    for (;;) {
        const int paged = ogg_sync_pageout(&mSync, &mPage);
        if (paged < 0) continue;  // bytes skipped to the next page
        if (paged == 0) {
            if (readBlock() == 0) return false;
            continue;
        }
        if (!ogg_page_bos(&mPage)) {
            // The first page past the stream starts: the headers go on from here.
            if (!mStreamInit) return false;
            ogg_stream_pagein(&mStream, &mPage);
            return true;
        }
        ogg_stream_state test;
        ogg_stream_init(&test, ogg_page_serialno(&mPage));
        ogg_stream_pagein(&test, &mPage);
        const bool accepted = !mStreamInit && ogg_stream_packetout(&test, &mPacket) == 1 &&
                              theora_decode_header(&mInfo, &mComment, &mPacket) >= 0;
        if (accepted) {
            mStream = test;
            mStreamInit = true;
            mHeaders = 1;
        } else {
            ogg_stream_clear(&test);
        }
    }
}

bool VideoTheoraReader::readHeaders() {
    while (mHeaders < 3) {
        const int got = ogg_stream_packetout(&mStream, &mPacket);
        if (got < 0) return false;
        if (got == 1) {
            if (theora_decode_header(&mInfo, &mComment, &mPacket) != 0) return false;
            ++mHeaders;
            continue;
        }
        const int paged = ogg_sync_pageout(&mSync, &mPage);
        if (paged == 1) {
            ogg_stream_pagein(&mStream, &mPage);  // pages of other streams are refused here
        } else if (paged == 0 && readBlock() == 0) {
            return false;
        }
    }
    return true;
}

void VideoTheoraReader::logHeaders() {
    switch (mInfo.colorspace) {
        case OC_CS_UNSPECIFIED:
            logLine("VideoSurface: colorspace not specified.");
            break;
        case OC_CS_ITU_REC_470M:
            logLine("VideoSurface: colorspace ITU Rec 470M (NTSC)");
            break;
        case OC_CS_ITU_REC_470BG:
            logLine("VideoSurface: colorspace ITU Rec 470BG (PAL)");
            break;
        default:
            logLine("VideoSurface: Warning! unknown colorspace specified");
            break;
    }
    logLine("VideoSurface: dump comments");
    logLine("--BEGIN --");
    logFormat("Vendor: %s", mComment.vendor ? mComment.vendor : "");
    for (int i = 0; i < mComment.comments; ++i) {
        // Comments are counted byte strings, not necessarily terminated.
        const char* text = mComment.user_comments ? mComment.user_comments[i] : nullptr;
        const int length = mComment.comment_lengths ? mComment.comment_lengths[i] : 0;
        if (text && length > 0) logLine(std::string(text, static_cast<size_t>(length)));
    }
    logLine("--END --");
}

bool VideoTheoraReader::open(File* file) {
    clear();
    mFile = file;
    if (!file) return false;
    if (!findTheoraStream() || !readHeaders()) {
        clear();
        return false;
    }
    // Other layouts have larger chroma planes than the conversion reads.
    if (mInfo.pixelformat != OC_PF_420) {
        logFormat("ERROR: VideoSurface: unsupported pixel format %i, only 4:2:0 is played",
                  static_cast<int>(mInfo.pixelformat));
        clear();
        return false;
    }
    const uint64_t pixels = static_cast<uint64_t>(mInfo.width) * mInfo.height;
    if (mInfo.width == 0 || mInfo.height == 0 || pixels > kMaxFramePixels) {
        logFormat("ERROR: VideoSurface: frame size %ux%u refused", static_cast<unsigned>(mInfo.width),
                  static_cast<unsigned>(mInfo.height));
        clear();
        return false;
    }
    if (theora_decode_init(&mDecoder, &mInfo) != 0) {
        clear();
        return false;
    }
    mDecoderInit = true;
    mFile = file;
    logHeaders();
    mOpen = true;
    return true;
}

VideoTheoraReader::Result VideoTheoraReader::decodeFrame(yuv_buffer* frame) {
    if (!mOpen) return Result::End;
    for (;;) {
        const int got = ogg_stream_packetout(&mStream, &mPacket);
        if (got > 0) {
            if (theora_decode_packetin(&mDecoder, &mPacket) < 0) return Result::Error;
            if (theora_decode_YUVout(&mDecoder, frame) != 0) return Result::Error;
            return Result::Frame;
        }
        if (got < 0) continue;  // a gap in the stream: the next packet follows
        // Pages already buffered come first, so the end of a short file is not lost.
        const int paged = ogg_sync_pageout(&mSync, &mPage);
        if (paged == 1) ogg_stream_pagein(&mStream, &mPage);
        if (paged != 0) continue;
        if (readBlock() == 0) return Result::End;
    }
}

}  // namespace QV
