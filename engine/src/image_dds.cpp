#include "image_dds.h"

#include <cstring>
#include <memory>

#include "image_file.h"
#include "log_system.h"

namespace QV {

namespace {

// Offsets inside the 124-byte header (after the magic).
constexpr uint32_t kHeightOffset = 8;
constexpr uint32_t kWidthOffset = 12;
constexpr uint32_t kPixelFlagsOffset = 76;
constexpr uint32_t kFourCCOffset = 80;
constexpr uint32_t kPaletteFlags = 32;

uint32_t readLE32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

constexpr uint32_t fourCCOf(const char (&text)[5]) {
    return static_cast<uint32_t>(static_cast<unsigned char>(text[0])) |
           static_cast<uint32_t>(static_cast<unsigned char>(text[1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(text[2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(text[3])) << 24;
}

const char* reasonText(DDSImage::DecodeResult result) {
    switch (result) {
        case DDSImage::kShortHeader: return "the file ends inside the header";
        case DDSImage::kNotDXT5: return "only DXT5 is supported";
        case DDSImage::kBadSize: return "the data does not cover its size";
        default: return "";
    }
}

}  // namespace

bool DDSImage::isDDS(const std::string& name, const std::string& package) {
    std::unique_ptr<ImageSource> file = openImageResource(name, package, "dds_image", 142);
    unsigned char magic[4];
    return readExactly(*file, magic, 4) && std::memcmp(magic, "DDS ", 4) == 0;
}

uint32_t DDSImage::fourCC() const { return readLE32(mHeader + kFourCCOffset); }

int DDSImage::load(const std::string& name, const std::string& package) {
    std::unique_ptr<ImageSource> file = openImageResource(name, package, "dds_image", 41);
    DecodeResult result = decode(*file);
    if (result == kDecoded) return 0;
    if (result != kBadMagic) {
        logFormat("ERROR: Failed to load DDS image %s: %s", name.c_str(), reasonText(result));
    }
    return 1;
}

DDSImage::DecodeResult DDSImage::decode(ImageSource& source) {
    freePixels();
    mWidth = mHeight = mByteSize = 0;
    mLoaded = 0;
    mFormat = kImageFormatOther;

    unsigned char magic[4];
    if (!readExactly(source, magic, 4) || std::memcmp(magic, "DDS ", 4) != 0) return kBadMagic;
    if (!readExactly(source, mHeader, kHeaderSize)) return kShortHeader;

    const uint32_t code = readLE32(mHeader + kFourCCOffset);
    if (readLE32(mHeader + kPixelFlagsOffset) == kPaletteFlags) {
        mFormat = kImageFormatPalette;
    } else if (code == fourCCOf("DXT1")) {
        mFormat = kImageFormatDXT1;
    } else if (code == fourCCOf("DXT3")) {
        mFormat = kImageFormatDXT3;
    } else if (code == fourCCOf("DXT5")) {
        mFormat = kImageFormatDXT5;
    }
    if (mFormat != kImageFormatDXT5) return kNotDXT5;

    const uint32_t width = readLE32(mHeader + kWidthOffset);
    const uint32_t height = readLE32(mHeader + kHeightOffset);
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide) {
        return kBadSize;
    }
    // The first level alone must be there: 16 bytes per 4 x 4 block.
    const std::size_t levelBytes =
        static_cast<std::size_t>((width + 3) / 4) * ((height + 3) / 4) * 16;
    const uint32_t dataSize = source.size() > source.position()
                                  ? source.size() - source.position() : 0;
    if (dataSize < levelBytes) return kBadSize;

    std::unique_ptr<unsigned char[]> data(new unsigned char[dataSize]);
    if (!readExactly(source, data.get(), dataSize)) return kBadSize;
    mPixels = data.release();
    mOwnership = kImageOwnsArray;
    mByteSize = dataSize;
    mWidth = width;
    mHeight = height;
    mLoaded = kLoaded;
    return kDecoded;
}

}  // namespace QV
