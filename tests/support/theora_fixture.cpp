#include "support/theora_fixture.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <vector>

namespace qvtest {

namespace {

void appendPage(std::string& out, const ogg_page& page) {
    out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

void flushStream(std::string& out, ogg_stream_state& stream) {
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) > 0) appendPage(out, page);
}

void pageOut(std::string& out, ogg_stream_state& stream) {
    ogg_page page;
    while (ogg_stream_pageout(&stream, &page) > 0) appendPage(out, page);
}

uint8_t gradient(int frame, int plane, int x, int y) {
    if (plane == 0) return static_cast<uint8_t>((x * 7 + y * 3 + frame * 11) & 0xFF);
    if (plane == 1) return static_cast<uint8_t>(64 + ((x * 5 + frame * 9) & 0x7F));
    return static_cast<uint8_t>(192 - ((y * 6 + frame * 5) & 0x7F));
}

// A mono Vorbis stream fed alongside the video.
class VorbisTrack {
public:
    VorbisTrack() { vorbis_info_init(&mInfo); }
    bool start(ogg_stream_state* stream) {
        mStream = stream;
        if (vorbis_encode_init_vbr(&mInfo, 1, kRate, 0.1f) != 0) return false;
        vorbis_comment_init(&mComment);
        vorbis_analysis_init(&mDsp, &mInfo);
        vorbis_block_init(&mDsp, &mBlock);
        mStarted = true;
        ogg_packet h0, h1, h2;
        vorbis_analysis_headerout(&mDsp, &mComment, &h0, &h1, &h2);
        ogg_stream_packetin(mStream, &h0);
        mFirst = h1;
        mSecond = h2;
        return true;
    }
    void restOfHeaders() {
        ogg_stream_packetin(mStream, &mFirst);
        ogg_stream_packetin(mStream, &mSecond);
    }
    void write(int frames) {
        if (frames > 0) {
            float** buffer = vorbis_analysis_buffer(&mDsp, frames);
            for (int i = 0; i < frames; ++i, ++mPosition) {
                buffer[0][i] = 0.3f * std::sin(static_cast<float>(mPosition) * 0.06f);
            }
        }
        vorbis_analysis_wrote(&mDsp, frames);
        while (vorbis_analysis_blockout(&mDsp, &mBlock) == 1) {
            vorbis_analysis(&mBlock, nullptr);
            vorbis_bitrate_addblock(&mBlock);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&mDsp, &packet)) ogg_stream_packetin(mStream, &packet);
        }
    }
    ~VorbisTrack() {
        if (mStarted) {
            vorbis_block_clear(&mBlock);
            vorbis_dsp_clear(&mDsp);
            vorbis_comment_clear(&mComment);
        }
        vorbis_info_clear(&mInfo);
    }

    static constexpr int kRate = 22050;

private:
    ogg_stream_state* mStream = nullptr;
    vorbis_info mInfo;
    vorbis_comment mComment;
    vorbis_dsp_state mDsp;
    vorbis_block mBlock;
    ogg_packet mFirst, mSecond;
    bool mStarted = false;
    long mPosition = 0;
};

}  // namespace

std::string encodeTheora(const TheoraFixture& f) {
    std::string out;
    th_info info;
    th_info_init(&info);
    info.frame_width = static_cast<ogg_uint32_t>((f.width + 15) & ~15);
    info.frame_height = static_cast<ogg_uint32_t>((f.height + 15) & ~15);
    info.pic_width = static_cast<ogg_uint32_t>(f.width);
    info.pic_height = static_cast<ogg_uint32_t>(f.height);
    info.pic_x = 0;
    info.pic_y = 0;
    info.fps_numerator = static_cast<ogg_uint32_t>(f.fpsNumerator);
    info.fps_denominator = static_cast<ogg_uint32_t>(f.fpsDenominator);
    info.aspect_numerator = 1;
    info.aspect_denominator = 1;
    info.colorspace = TH_CS_UNSPECIFIED;
    info.pixel_fmt = static_cast<th_pixel_fmt>(f.pixelFormat);
    info.target_bitrate = 0;
    info.quality = f.quality;
    info.keyframe_granule_shift = 6;
    th_enc_ctx* encoder = th_encode_alloc(&info);
    if (!encoder) {
        th_info_clear(&info);
        return out;
    }

    ogg_stream_state video, audio;
    ogg_stream_init(&video, 0x5eed);
    ogg_stream_init(&audio, 0x50d);
    VorbisTrack track;
    const bool vorbis = f.withVorbis && track.start(&audio);

    th_comment comment;
    th_comment_init(&comment);
    th_comment_add_tag(&comment, const_cast<char*>("TITLE"), const_cast<char*>("fixture"));
    std::vector<ogg_packet> headers;
    ogg_packet packet;
    std::vector<std::string> headerBytes;
    while (th_encode_flushheader(encoder, &comment, &packet) > 0) {
        headerBytes.emplace_back(reinterpret_cast<const char*>(packet.packet), static_cast<size_t>(packet.bytes));
        headers.push_back(packet);
    }
    if (f.announcedMacroblocks > 0 && !headerBytes.empty() && headerBytes[0].size() > 13) {
        // Frame width and height in macroblocks: 16-bit big-endian at bytes 10 and 12.
        for (size_t at : {size_t(10), size_t(12)}) {
            headerBytes[0][at] = static_cast<char>((f.announcedMacroblocks >> 8) & 0xFF);
            headerBytes[0][at + 1] = static_cast<char>(f.announcedMacroblocks & 0xFF);
        }
    }
    for (size_t i = 0; i < headers.size(); ++i) headers[i].packet = reinterpret_cast<unsigned char*>(&headerBytes[i][0]);

    // First pages begin the streams; the other headers follow before any data.
    if (vorbis && f.vorbisFirst) flushStream(out, audio);
    if (!headers.empty()) {
        ogg_stream_packetin(&video, &headers[0]);
        flushStream(out, video);
    }
    if (vorbis && !f.vorbisFirst) flushStream(out, audio);
    for (size_t i = 1; i < headers.size(); ++i) ogg_stream_packetin(&video, &headers[i]);
    flushStream(out, video);
    if (vorbis) {
        track.restOfHeaders();
        flushStream(out, audio);
    }

    const int fw = static_cast<int>(info.frame_width);
    const int fh = static_cast<int>(info.frame_height);
    const int cw = f.pixelFormat == TH_PF_444 ? fw : fw / 2;
    const int ch = f.pixelFormat == TH_PF_420 ? fh / 2 : fh;
    std::vector<uint8_t> planes[3] = {std::vector<uint8_t>(static_cast<size_t>(fw) * fh),
                                      std::vector<uint8_t>(static_cast<size_t>(cw) * ch),
                                      std::vector<uint8_t>(static_cast<size_t>(cw) * ch)};
    const int samplesPerFrame = VorbisTrack::kRate * f.fpsDenominator / (f.fpsNumerator > 0 ? f.fpsNumerator : 1);
    for (int frame = 0; frame < f.frames; ++frame) {
        th_ycbcr_buffer buffer;
        for (int p = 0; p < 3; ++p) {
            const int w = p == 0 ? fw : cw;
            const int h = p == 0 ? fh : ch;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    planes[p][static_cast<size_t>(y) * w + x] = f.sample ? f.sample(frame, p, x, y) : gradient(frame, p, x, y);
                }
            }
            buffer[p].width = w;
            buffer[p].height = h;
            buffer[p].stride = w;
            buffer[p].data = planes[p].data();
        }
        th_encode_ycbcr_in(encoder, buffer);
        const int last = frame + 1 == f.frames ? 1 : 0;
        while (th_encode_packetout(encoder, last, &packet) > 0) {
            std::string bytes(reinterpret_cast<const char*>(packet.packet), static_cast<size_t>(packet.bytes));
            if (frame == f.badFrame) {
                if (bytes.empty()) bytes.assign(1, '\0');
                bytes[0] = static_cast<char>(bytes[0] | 0x80);
            }
            packet.packet = reinterpret_cast<unsigned char*>(&bytes[0]);
            packet.bytes = static_cast<long>(bytes.size());
            ogg_stream_packetin(&video, &packet);
        }
        pageOut(out, video);
        if (vorbis) {
            track.write(samplesPerFrame);
            pageOut(out, audio);
        }
    }
    if (vorbis) track.write(0);
    flushStream(out, video);
    if (vorbis) flushStream(out, audio);

    th_comment_clear(&comment);
    th_encode_free(encoder);
    th_info_clear(&info);
    ogg_stream_clear(&video);
    ogg_stream_clear(&audio);
    return out;
}

}  // namespace qvtest
