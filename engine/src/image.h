#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace QV {

// What the pixel data of an image holds; the texture upload reads it.
enum ImageFormatCode : int32_t {
    kImageFormatOther = 0,    // DDS of an unknown layout
    kImageFormatRGBX = 1,     // 32-bit red, green, blue, alpha; the source had no alpha
    kImageFormatRGBA = 2,     // 32-bit red, green, blue, alpha
    kImageFormatPalette = 3,  // palette data
    kImageFormatDXT1 = 4,
    kImageFormatDXT3 = 5,
    kImageFormatDXT5 = 6,
};

// Neither side of a decoded image may exceed this; larger headers are refused
// before anything is allocated for them.
constexpr uint32_t kMaxImageSide = 8192;

// Ownership of an image's pixels.
enum ImageOwnership : int32_t {
    kImageOwnsArray = 0,  // allocated with new[], freed by the destructor
    kImageBorrowed = 1,
};

// A source of image bytes read front to back.
class ImageSource {
public:
    virtual ~ImageSource() = default;
    // Bytes read, fewer at the end of the data, negative on error.
    virtual long read(void* buffer, uint32_t count) = 0;
    virtual uint32_t size() = 0;
    virtual uint32_t position() = 0;
};

// Bytes held in memory (not copied).
class MemoryImageSource : public ImageSource {
public:
    MemoryImageSource(const void* data, std::size_t size);
    long read(void* buffer, uint32_t count) override;
    uint32_t size() override { return mSize; }
    uint32_t position() override { return mPosition; }

private:
    const unsigned char* mData;
    uint32_t mSize;
    uint32_t mPosition = 0;
};

// A decoded picture. Subclasses decode one file kind each.
class Image {
public:
    Image() = default;
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Reads and decodes the resource through the file system.
    virtual int load(const std::string& name, const std::string& package) = 0;
    virtual unsigned char* pixels() { return mPixels; }
    virtual uint32_t width() { return mWidth; }
    virtual uint32_t height() { return mHeight; }
    virtual uint32_t byteSize() { return mByteSize; }
    virtual uint32_t rowBytes() = 0;

    int32_t format() const { return mFormat; }

    // Grows a 32-bit image to power-of-two sides; the new area is transparent
    // black. Returns 0 when the image was enlarged, 1 when it was left alone.
    int padToPowerOfTwo();

protected:
    void freePixels();
    // Hook for images that keep their own row length.
    virtual void onPadded(uint32_t newRowBytes) { (void)newRowBytes; }

    int32_t mFormat = kImageFormatOther;
    uint8_t mFlag = 0;
    unsigned char* mPixels = nullptr;
    uint32_t mWidth = 0;
    uint32_t mHeight = 0;
    uint32_t mByteSize = 0;
    int32_t mOwnership = kImageOwnsArray;
};

// The smallest power of two at or above n (1 for 0).
uint32_t nextPowerOfTwo(uint32_t n);

// Reads exactly count bytes; false when the source ran short or failed.
bool readExactly(ImageSource& source, void* buffer, uint32_t count);

}  // namespace QV
