#pragma once

#include <string>

#include "image.h"

namespace QV {

// DirectDraw Surface files holding DXT5 blocks. The data after the header is
// kept as it is, mipmaps included.
class DDSImage : public Image {
public:
    static constexpr uint32_t kHeaderSize = 124;
    static constexpr uint8_t kLoaded = 255;

    enum DecodeResult {
        kDecoded = 0,
        kBadMagic,      // not a DDS file
        kShortHeader,   // the file ends inside the header
        kNotDXT5,       // a layout other than DXT5 blocks
        kBadSize,       // sizes the data does not cover, or out of range
    };

    // True when the resource starts with "DDS "; a missing file is fatal.
    static bool isDDS(const std::string& name, const std::string& package);

    // Only DXT5 is drawable: other layouts and damaged files are logged and
    // leave the image without data. Returns 0 when loaded, 1 otherwise.
    int load(const std::string& name, const std::string& package) override;
    DecodeResult decode(ImageSource& source);

    uint32_t rowBytes() override { return 0; }
    uint8_t loadedMarker() const { return mLoaded; }
    const unsigned char* header() const { return mHeader; }
    // The FourCC of the header's pixel format, as read.
    uint32_t fourCC() const;

private:
    unsigned char mHeader[kHeaderSize] = {};
    uint8_t mLoaded = 0;
};

}  // namespace QV
