// Any bytes as a "QVT." tiled image: decoded or refused, never read out of bounds.
#include <cstddef>
#include <cstdint>

#include "image_qvt.h"

// Reads land here so they are not optimised away.
volatile unsigned gSink = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QV::QVTImage image;
    QV::MemoryImageSource source(data, size);
    if (image.decode(source) == QV::QVTImage::kDecoded) {
        if (image.byteSize() != image.width() * image.height() * 4) __builtin_trap();
        const unsigned char* p = image.pixels();
        for (uint32_t i = 0; i < image.byteSize(); i += 61) gSink += p[i];
        gSink += p[image.byteSize() - 1];
        image.padToPowerOfTwo();
    }
    return 0;
}
