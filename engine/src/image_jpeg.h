#pragma once

#include <string>
#include <vector>

#include "image.h"

namespace QV {

// A pair of JPEG files: the colour resource (3 components) and, beside it, its
// alpha resource (1 component, "_a" inserted before the name's last "_image").
class JpegImage : public Image {
public:
    // True when the resource starts with FF D8; a missing file is fatal.
    static bool isJpeg(const std::string& name, const std::string& package);
    // The alpha resource of a colour resource, or "" when the name holds no "_image".
    static std::string alphaName(const std::string& colourName);

    // A missing file of the pair, an unusable name and any decoding error are fatal.
    // Returns 1.
    int load(const std::string& name, const std::string& package) override;
    // Decodes both streams; false with the reason when either is broken or
    // when they do not match (sizes, 3 colour and 1 alpha component).
    bool decode(ImageSource& colour, ImageSource& alpha, std::string* error);

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

// Decodes one JPEG stream into packed 8-bit samples; false with libjpeg's
// message (or ours) on any error. Never ends the process.
bool decodeJpegSamples(const unsigned char* data, std::size_t size, std::vector<unsigned char>* out,
                       uint32_t* width, uint32_t* height, int* components, std::string* error);

}  // namespace QV
