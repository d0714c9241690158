#include "support/theora_reference.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>

#include <cstring>

namespace qvtest {

namespace {

uint8_t clampByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

void copyPlane(const th_img_plane& plane, std::vector<uint8_t>& out) {
    out.resize(static_cast<size_t>(plane.width) * plane.height);
    for (int y = 0; y < plane.height; ++y) {
        std::memcpy(out.data() + static_cast<size_t>(y) * plane.width,
                    plane.data + static_cast<std::ptrdiff_t>(y) * plane.stride, static_cast<size_t>(plane.width));
    }
}

}  // namespace

std::vector<uint8_t> ReferenceFrame::rgba() const {
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 4);
    const uint32_t cw = width / 2;
    for (uint32_t row = 0; row < height; ++row) {
        for (uint32_t x = 0; x < width; ++x) {
            const int Y = y[row * width + x];
            const int U = u[(row / 2) * cw + x / 2];
            const int V = v[(row / 2) * cw + x / 2];
            uint8_t* p = out.data() + (static_cast<size_t>(row) * width + x) * 4;
            p[0] = clampByte(Y + ((175 * V - 22400) >> 7));
            p[1] = clampByte(Y - ((44 * U - 5632) >> 7) - ((91 * V - 11648) >> 7));
            p[2] = clampByte(Y + ((226 * U - 28928) >> 7));
            p[3] = 255;
        }
    }
    return out;
}

std::vector<ReferenceFrame> decodeTheoraReference(const std::string& bytes) {
    std::vector<ReferenceFrame> frames;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(bytes.size()));
    std::memcpy(buffer, bytes.data(), bytes.size());
    ogg_sync_wrote(&sync, static_cast<long>(bytes.size()));

    th_info info;
    th_comment comment;
    th_info_init(&info);
    th_comment_init(&comment);
    th_setup_info* setup = nullptr;
    th_dec_ctx* decoder = nullptr;
    ogg_stream_state stream;
    bool haveStream = false;
    int headers = 0;
    ogg_page page;
    while (ogg_sync_pageout(&sync, &page) == 1) {
        if (!haveStream) {
            if (!ogg_page_bos(&page)) continue;
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            ogg_stream_pagein(&stream, &page);
            ogg_packet first;
            if (ogg_stream_packetout(&stream, &first) == 1 && th_decode_headerin(&info, &comment, &setup, &first) > 0) {
                haveStream = true;
                headers = 1;
            } else {
                ogg_stream_clear(&stream);
            }
            continue;
        }
        if (ogg_stream_pagein(&stream, &page) != 0) continue;
        ogg_packet packet;
        while (ogg_stream_packetout(&stream, &packet) == 1) {
            if (headers < 3) {
                if (th_decode_headerin(&info, &comment, &setup, &packet) < 0) break;
                ++headers;
                if (headers == 3) decoder = th_decode_alloc(&info, setup);
                continue;
            }
            if (!decoder || th_decode_packetin(decoder, &packet, nullptr) < 0) continue;
            th_ycbcr_buffer ycbcr;
            th_decode_ycbcr_out(decoder, ycbcr);
            ReferenceFrame frame;
            frame.width = static_cast<uint32_t>(ycbcr[0].width);
            frame.height = static_cast<uint32_t>(ycbcr[0].height);
            copyPlane(ycbcr[0], frame.y);
            copyPlane(ycbcr[1], frame.u);
            copyPlane(ycbcr[2], frame.v);
            frames.push_back(std::move(frame));
        }
    }
    if (decoder) th_decode_free(decoder);
    th_setup_free(setup);
    th_comment_clear(&comment);
    th_info_clear(&info);
    if (haveStream) ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
    return frames;
}

}  // namespace qvtest
