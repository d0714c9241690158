#pragma once

#include <string>

#include "image.h"

namespace QV {

// The engine's tiled format "QVT.": a 20-byte header (magic, format, width,
// height, payload size; little-endian) and a payload of 4 x 8 tiles of RGBA
// pixels (format 2) or a 256-entry palette and 16 x 8 tiles of indices (format 3).
class QVTImage : public Image {
public:
    static constexpr uint32_t kHeaderSize = 20;

    enum DecodeResult {
        kDecoded = 0,
        kBadMagic,       // not a QVT file
        kBadHeader,      // sizes that do not fit the tiles or the file
        kUnknownFormat,  // a format other than 2 and 3
    };

    // True when the resource starts with "QVT."; a missing file is fatal.
    static bool isQVT(const std::string& name, const std::string& package);

    // A wrong magic or bad sizes are logged and leave the image without pixels;
    // an unknown format is fatal. Returns 0 when decoded, 1 otherwise.
    int load(const std::string& name, const std::string& package) override;
    DecodeResult decode(ImageSource& source);

    uint32_t rowBytes() override { return mWidth; }
    // The format field of the header as read.
    uint32_t fileFormat() const { return mFileFormat; }

private:
    uint32_t mFileFormat = 0;
};

}  // namespace QV
