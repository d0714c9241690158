// Any bytes as a JPEG colour and alpha pair: the first 4 bytes (little-endian)
// give the colour file's length, the rest after it is the alpha file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "image_jpeg.h"

// Reads land here so they are not optimised away.
volatile unsigned gSink = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    size_t colourSize = data[0] | data[1] << 8 | data[2] << 16 | static_cast<size_t>(data[3]) << 24;
    data += 4;
    size -= 4;
    if (colourSize > size) colourSize = size;
    QV::MemoryImageSource colour(data, colourSize);
    QV::MemoryImageSource alpha(data + colourSize, size - colourSize);
    QV::JpegImage image;
    std::string error;
    if (image.decode(colour, alpha, &error)) {
        const unsigned char* p = image.pixels();
        for (uint32_t i = 0; i < image.byteSize(); i += 61) gSink += p[i];
        if (image.byteSize() != image.width() * image.height() * 4) __builtin_trap();
        image.padToPowerOfTwo();
    }
    return 0;
}
