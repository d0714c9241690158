#pragma once

// Small Ogg Theora (optionally with a Vorbis track) files encoded with
// libtheoraenc and libvorbisenc, for the video tests and fuzz seeds.

#include <cstdint>
#include <functional>
#include <string>

namespace qvtest {

struct TheoraFixture {
    int width = 32;    // picture size; the coded frame is rounded up to 16
    int height = 32;
    int frames = 10;
    int fpsNumerator = 25;
    int fpsDenominator = 1;
    // 0 4:2:0, 2 4:2:2, 3 4:4:4 (libtheora's pixel format codes).
    int pixelFormat = 0;
    int quality = 48;
    // Adds a mono Vorbis track; vorbisFirst puts its first page before Theora's.
    bool withVorbis = false;
    bool vorbisFirst = false;
    // The packet of this frame is marked as a header packet, which a decoder
    // refuses as a bad data packet (-1: none).
    int badFrame = -1;
    // When above 0, the identification header announces a coded frame of
    // this many 16-pixel macroblocks per side (the picture keeps its size).
    int announcedMacroblocks = 0;
    // Picture content: (frame, plane 0..2, x, y) -> sample; a moving
    // gradient when empty.
    std::function<uint8_t(int, int, int, int)> sample;
};

// The encoded file; empty when the encoder refused the settings.
std::string encodeTheora(const TheoraFixture& fixture);

}  // namespace qvtest
