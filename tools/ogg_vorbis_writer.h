#pragma once

// Encodes float PCM to Ogg Vorbis bytes with libvorbisenc (header only, shared
// by the sound generator and the tests' fixtures).

#include <vorbis/vorbisenc.h>

#include <string>
#include <vector>

namespace qvsound {

// samples: interleaved, channels per frame, values in -1..1.
// Empty result when the encoder refuses the settings.
inline std::string encodeOggVorbis(const std::vector<float>& samples, int channels, int rate,
                                   float quality = 0.4f) {
    std::string out;
    if (channels < 1) return out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x51560001);
    ogg_page page;
    ogg_packet packet;

    auto flushPages = [&](bool force) {
        while (force ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
            out.append(reinterpret_cast<const char*>(page.header), page.header_len);
            out.append(reinterpret_cast<const char*>(page.body), page.body_len);
        }
    };

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    flushPages(true);

    size_t frames = samples.size() / static_cast<size_t>(channels);
    size_t done = 0;
    const size_t blockFrames = 1024;
    bool ended = false;
    while (!ended) {
        size_t n = frames - done < blockFrames ? frames - done : blockFrames;
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c) buffer[c][i] = samples[(done + i) * channels + c];
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                flushPages(false);
            }
        }
        if (n == 0) ended = true;
    }
    flushPages(true);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

}  // namespace qvsound
