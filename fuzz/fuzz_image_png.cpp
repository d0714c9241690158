// Any bytes as a PNG file: decoded or refused, never read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "image_png.h"

// Reads land here so they are not optimised away.
volatile unsigned gSink = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QV::PngImage image;
    QV::MemoryImageSource source(data, size);
    std::string error;
    if (image.decode(source, &error)) {
        // Every promised byte must be there.
        const unsigned char* p = image.pixels();
        for (uint32_t i = 0; i < image.byteSize(); i += 61) gSink += p[i];
        if (image.byteSize() != image.width() * image.height() * 4) __builtin_trap();
        image.padToPowerOfTwo();
    }
    return 0;
}
