#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace QV {

// Writers of every image kind the engine reads, for the content generator,
// test fixtures and benchmarks. Input pixels are 8-bit red, green, blue, alpha.

// How a PNG stores the pixels it is given.
enum class PngLayout {
    RGBA,       // colour type 6
    RGB,        // colour type 2, alpha dropped
    Grey,       // colour type 0 from the red channel
    GreyAlpha,  // colour type 4 from red and alpha
    Palette,    // colour type 3 with a tRNS chunk when any alpha is below 255
};

struct PngEncodeOptions {
    PngLayout layout = PngLayout::RGBA;
    int bitDepth = 8;  // 8 or 16 (palette: 8)
    bool interlaced = false;
    int compression = 6;
};

// Empty when the pixels do not fit the layout (a palette of more than 256 colours).
std::string encodePng(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height,
                      const PngEncodeOptions& options = PngEncodeOptions());

// A baseline JPEG of 3 (red, green, blue) or 1 (grey) components from packed samples.
std::string encodeJpeg(const std::vector<uint8_t>& samples, uint32_t width, uint32_t height,
                       int components, int quality = 90);

// The colour and alpha JPEGs of an RGBA picture.
struct JpegPair {
    std::string colour;
    std::string alpha;
};
JpegPair encodeJpegPair(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height,
                        int quality = 90);

// A DDS file with one level of DXT5 blocks (sides need not be multiples of 4).
std::string encodeDdsDxt5(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height);

// "QVT." format 2: sides multiples of 4 and 8.
std::string encodeQvt2(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height);
// "QVT." format 3 from a 256-entry RGBA palette and one index per pixel:
// width a multiple of 16, height of 8.
std::string encodeQvt3(const std::vector<uint8_t>& palette, const std::vector<uint8_t>& indices,
                       uint32_t width, uint32_t height);

// A 20-byte "QVT." header with any field values.
std::string qvtHeader(uint32_t format, uint32_t width, uint32_t height, uint32_t payloadSize);

// A recognisable test picture: colour gradients, an alpha ramp and a checker.
std::vector<uint8_t> makeTestPattern(uint32_t width, uint32_t height, uint32_t seed = 0);

}  // namespace QV
