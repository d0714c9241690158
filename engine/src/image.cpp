#include "image.h"

#include <algorithm>
#include <cstring>

namespace QV {

MemoryImageSource::MemoryImageSource(const void* data, std::size_t size)
    : mData(static_cast<const unsigned char*>(data)),
      mSize(size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size)) {}

long MemoryImageSource::read(void* buffer, uint32_t count) {
    uint32_t n = std::min(count, mSize - mPosition);
    if (n) std::memcpy(buffer, mData + mPosition, n);
    mPosition += n;
    return static_cast<long>(n);
}

bool readExactly(ImageSource& source, void* buffer, uint32_t count) {
    unsigned char* out = static_cast<unsigned char*>(buffer);
    while (count > 0) {
        long n = source.read(out, count);
        if (n <= 0) return false;
        out += n;
        count -= static_cast<uint32_t>(n);
    }
    return true;
}

uint32_t nextPowerOfTwo(uint32_t n) {
    uint32_t p = 1;
    while (p < n && p < 0x80000000u) p <<= 1;
    return p;
}

Image::~Image() { freePixels(); }

void Image::freePixels() {
    if (mOwnership == kImageOwnsArray) delete[] mPixels;
    mPixels = nullptr;
}

int Image::padToPowerOfTwo() {
    if (mFormat != kImageFormatRGBA || !mPixels || mOwnership != kImageOwnsArray) return 1;
    uint32_t w = nextPowerOfTwo(mWidth);
    uint32_t h = nextPowerOfTwo(mHeight);
    if (w == mWidth && h == mHeight) return 1;
    std::size_t newRow = static_cast<std::size_t>(w) * 4;
    std::size_t oldRow = static_cast<std::size_t>(mWidth) * 4;
    // Zeroed, so the added border stays transparent under filtering.
    unsigned char* padded = new unsigned char[newRow * h]();
    for (uint32_t y = 0; y < mHeight; ++y) {
        std::memcpy(padded + y * newRow, mPixels + y * oldRow, oldRow);
    }
    delete[] mPixels;
    mPixels = padded;
    mWidth = w;
    mHeight = h;
    mByteSize = static_cast<uint32_t>(newRow * h);
    onPadded(static_cast<uint32_t>(newRow));
    return 0;
}

}  // namespace QV
