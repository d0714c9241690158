#include "image_qvt.h"

#include <cstring>
#include <memory>
#include <vector>

#include "engine_allocators.h"
#include "image_file.h"
#include "log_system.h"
#include "report_assert.h"

namespace QV {

namespace {

uint32_t readLE32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// 4 x 8 tiles of RGBA pixels, left to right along bands of 8 rows.
void untileRgba(const unsigned char* payload, unsigned char* pixels, uint32_t width,
                uint32_t height) {
    const uint32_t tilesAcross = width / 4;
    const uint32_t tiles = width / 4 * (height / 8);
    for (uint32_t t = 0; t < tiles; ++t) {
        const uint32_t x0 = (t % tilesAcross) * 4;
        const uint32_t y0 = (t / tilesAcross) * 8;
        const unsigned char* tile = payload + static_cast<std::size_t>(t) * 128;
        for (uint32_t row = 0; row < 8; ++row) {
            std::memcpy(pixels + (static_cast<std::size_t>(y0 + row) * width + x0) * 4,
                        tile + row * 16, 16);
        }
    }
}

// A palette of 256 RGBA entries, then 16 x 8 tiles of indices.
void untilePalette(const unsigned char* payload, unsigned char* pixels, uint32_t width,
                   uint32_t height) {
    const unsigned char* palette = payload;
    const unsigned char* indices = payload + 1024;
    const uint32_t tilesAcross = width / 16;
    const uint32_t tiles = width / 16 * (height / 8);
    for (uint32_t t = 0; t < tiles; ++t) {
        const uint32_t x0 = (t % tilesAcross) * 16;
        const uint32_t y0 = (t / tilesAcross) * 8;
        const unsigned char* tile = indices + static_cast<std::size_t>(t) * 128;
        for (uint32_t k = 0; k < 128; ++k) {
            const uint32_t x = x0 + k % 16;
            const uint32_t y = y0 + k / 16;
            std::memcpy(pixels + (static_cast<std::size_t>(y) * width + x) * 4,
                        palette + tile[k] * 4, 4);
        }
    }
}

}  // namespace

bool QVTImage::isQVT(const std::string& name, const std::string& package) {
    std::unique_ptr<ImageSource> file = openImageResource(name, package, "qvt_image", 170);
    unsigned char magic[4];
    return readExactly(*file, magic, 4) && std::memcmp(magic, "QVT.", 4) == 0;
}

int QVTImage::load(const std::string& name, const std::string& package) {
    std::unique_ptr<ImageSource> file = openImageResource(name, package, "qvt_image", 85);
    DecodeResult result = decode(*file);
    if (result == kUnknownFormat) QV_FATAL("");
    if (result != kDecoded) {
        logFormat("Failed to load QVT image %s", name.c_str());
        return 1;
    }
    return 0;
}

QVTImage::DecodeResult QVTImage::decode(ImageSource& source) {
    freePixels();
    mWidth = mHeight = mByteSize = 0;
    mFileFormat = 0;

    unsigned char header[kHeaderSize];
    if (!readExactly(source, header, kHeaderSize)) return kBadMagic;
    if (std::memcmp(header, "QVT.", 4) != 0) return kBadMagic;
    const uint32_t format = readLE32(header + 4);
    const uint32_t width = readLE32(header + 8);
    const uint32_t height = readLE32(header + 12);
    const uint32_t payloadSize = readLE32(header + 16);
    mFileFormat = format;
    if (format != 2 && format != 3) return kUnknownFormat;

    // Whole tiles only, within the size limit, and a payload the file really holds.
    const uint32_t tileWidth = format == 2 ? 4 : 16;
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide ||
        width % tileWidth != 0 || height % 8 != 0) {
        return kBadHeader;
    }
    const std::size_t pixelCount = static_cast<std::size_t>(width) * height;
    const std::size_t needed = format == 2 ? pixelCount * 4 : 1024 + pixelCount;
    const uint32_t available = source.size() > source.position()
                                   ? source.size() - source.position() : 0;
    if (payloadSize < needed || payloadSize > available) return kBadHeader;

    // The payload is transient: the engine's stack region when it fits, the
    // heap otherwise, so a large texture does not stop the game.
    StackAllocator* stack = nullptr;
    if (EngineAllocators* allocators = EngineAllocators::instancePointer()) {
        stack = allocators->getStackAllocator();
    }
    std::unique_ptr<StackBlock> block;
    if (stack && needed <= StackAllocator::kCapacity) {
        block.reset(new StackBlock(stack, static_cast<uint32_t>(needed)));
    }
    std::vector<unsigned char> heapPayload;
    unsigned char* payload = block ? static_cast<unsigned char*>(block->data()) : nullptr;
    if (!payload) {
        block.reset();
        heapPayload.resize(needed);
        payload = heapPayload.data();
    }
    if (!readExactly(source, payload, static_cast<uint32_t>(needed))) return kBadHeader;

    std::unique_ptr<unsigned char[]> pixels(new unsigned char[pixelCount * 4]);
    if (format == 2) {
        untileRgba(payload, pixels.get(), width, height);
    } else {
        untilePalette(payload, pixels.get(), width, height);
    }
    block.reset();
    mPixels = pixels.release();
    mOwnership = kImageOwnsArray;
    mWidth = width;
    mHeight = height;
    mByteSize = static_cast<uint32_t>(pixelCount * 4);
    mFormat = kImageFormatRGBA;
    return kDecoded;
}

}  // namespace QV
