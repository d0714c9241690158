// Any bytes as a DDS file: only whole DXT5 data is accepted.
#include <cstddef>
#include <cstdint>

#include "image_dds.h"

// Reads land here so they are not optimised away.
volatile unsigned gSink = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QV::DDSImage image;
    QV::MemoryImageSource source(data, size);
    if (image.decode(source) == QV::DDSImage::kDecoded) {
        // The upload copies the first level: it must lie inside the data.
        const uint32_t level = (image.width() + 3) / 4 * ((image.height() + 3) / 4) * 16;
        if (level > image.byteSize()) __builtin_trap();
        const unsigned char* p = image.pixels();
        for (uint32_t i = 0; i < image.byteSize(); i += 61) gSink += p[i];
        gSink += p[image.byteSize() - 1];
    }
    return 0;
}
