#pragma once

#include <string>

#include "image.h"

namespace QV {

// PNG through libpng. Every colour type decodes to 32-bit red, green, blue,
// alpha: palette and grey are expanded, 16-bit samples stripped to 8 bits and
// a missing alpha filled with 255.
class PngImage : public Image {
public:
    // True when the resource starts with the PNG signature; a missing file is fatal.
    static bool isPng(const std::string& name, const std::string& package);
    // As isPng, but false for a missing file.
    static bool isPngFile(const std::string& name, const std::string& package);
    static bool hasPngSignature(const void* data, std::size_t size);

    // A broken stream is fatal. Returns 1.
    int load(const std::string& name, const std::string& package) override;
    // Decodes the whole stream; false with the reason when it is broken or too large.
    bool decode(ImageSource& source, std::string* error);

    uint32_t rowBytes() override { return mRowBytes; }
    uint32_t decodedWidth() const { return mDecodedWidth; }
    uint32_t decodedHeight() const { return mDecodedHeight; }

protected:
    void onPadded(uint32_t newRowBytes) override { mRowBytes = newRowBytes; }

private:
    uint32_t mRowBytes = 0;
    uint32_t mDecodedWidth = 0;
    uint32_t mDecodedHeight = 0;
};

}  // namespace QV
