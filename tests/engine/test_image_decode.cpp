#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine_allocators.h"
#include "image_dds.h"
#include "image_encode.h"
#include "image_jpeg.h"
#include "image_png.h"
#include "image_qvt.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes pixelsOf(QV::Image& image) {
    return Bytes(image.pixels(), image.pixels() + image.byteSize());
}

const uint8_t* pixelAt(QV::Image& image, uint32_t x, uint32_t y) {
    return image.pixels() + (static_cast<size_t>(y) * image.width() + x) * 4;
}

// ---------------------------------------------------------------- PNG

// What the decoder should give for a pattern stored in a layout.
Bytes expectedFor(const Bytes& rgba, QV::PngLayout layout) {
    Bytes out = rgba;
    for (size_t i = 0; i < out.size(); i += 4) {
        if (layout == QV::PngLayout::Grey || layout == QV::PngLayout::GreyAlpha) {
            out[i + 1] = out[i + 2] = out[i];
        }
        if (layout == QV::PngLayout::Grey || layout == QV::PngLayout::RGB) out[i + 3] = 255;
    }
    return out;
}

// Few colours, so a palette can hold them; some translucent.
Bytes smallPalettePattern(uint32_t w, uint32_t h) {
    Bytes rgba(w * h * 4);
    for (uint32_t i = 0; i < w * h; ++i) {
        uint8_t k = static_cast<uint8_t>(i % 7);
        rgba[i * 4 + 0] = static_cast<uint8_t>(k * 30);
        rgba[i * 4 + 1] = static_cast<uint8_t>(255 - k * 20);
        rgba[i * 4 + 2] = static_cast<uint8_t>(k * 5);
        rgba[i * 4 + 3] = static_cast<uint8_t>(k == 3 ? 0 : (k == 5 ? 128 : 255));
    }
    return rgba;
}

TEST(PngImage, EveryColourTypeDecodesToRgba) {
    struct Case {
        const char* name;
        QV::PngLayout layout;
        int bitDepth;
        bool interlaced;
        bool palettePattern;
        int32_t format;
    } cases[] = {
        {"rgba8", QV::PngLayout::RGBA, 8, false, false, QV::kImageFormatRGBA},
        {"rgba16", QV::PngLayout::RGBA, 16, false, false, QV::kImageFormatRGBA},
        {"rgba8 interlaced", QV::PngLayout::RGBA, 8, true, false, QV::kImageFormatRGBA},
        {"rgb8", QV::PngLayout::RGB, 8, false, false, QV::kImageFormatRGBX},
        {"rgb16", QV::PngLayout::RGB, 16, false, false, QV::kImageFormatRGBX},
        {"grey8", QV::PngLayout::Grey, 8, false, false, QV::kImageFormatRGBA},
        {"grey16", QV::PngLayout::Grey, 16, false, false, QV::kImageFormatRGBA},
        {"grey alpha8", QV::PngLayout::GreyAlpha, 8, false, false, QV::kImageFormatRGBA},
        {"palette with tRNS", QV::PngLayout::Palette, 8, false, true, QV::kImageFormatRGBA},
        {"palette interlaced", QV::PngLayout::Palette, 8, true, true, QV::kImageFormatRGBA},
    };
    const uint32_t w = 13, h = 7;  // odd sizes catch row-length mistakes
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes rgba = c.palettePattern ? smallPalettePattern(w, h) : QV::makeTestPattern(w, h);
        QV::PngEncodeOptions options;
        options.layout = c.layout;
        options.bitDepth = c.bitDepth;
        options.interlaced = c.interlaced;
        std::string file = QV::encodePng(rgba, w, h, options);
        ASSERT_FALSE(file.empty());

        QV::PngImage image;
        QV::MemoryImageSource source(file.data(), file.size());
        std::string error;
        ASSERT_TRUE(image.decode(source, &error)) << error;
        EXPECT_EQ(image.width(), w);
        EXPECT_EQ(image.height(), h);
        EXPECT_EQ(image.decodedWidth(), w);
        EXPECT_EQ(image.rowBytes(), w * 4);
        EXPECT_EQ(image.byteSize(), w * h * 4);
        EXPECT_EQ(image.format(), c.format);
        EXPECT_EQ(pixelsOf(image), expectedFor(rgba, c.layout));
    }
}

// Rewrites the IHDR width and its CRC, so only the value is wrong.
std::string withPngWidth(std::string png, uint32_t width) {
    for (int i = 0; i < 4; ++i) png[16 + i] = static_cast<char>(width >> (24 - 8 * i));
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(&png[12]), 17);
    for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    return png;
}

TEST(PngImage, BrokenStreamsAreRefused) {
    const Bytes rgba = QV::makeTestPattern(16, 16);
    const std::string good = QV::encodePng(rgba, 16, 16);
    ASSERT_EQ(withPngWidth(good, 16), good);
    std::string badCrc = good;
    badCrc[29] ^= 0x55;  // inside the IHDR CRC
    const std::string zeroWidth = withPngWidth(good, 0);
    const std::string huge = withPngWidth(good, 9000);  // above the size limit
    const std::string wider = withPngWidth(good, 32);   // rows run out of data
    std::string badData = good;
    for (size_t i = 60; i < badData.size() - 20; ++i) badData[i] = static_cast<char>(i * 31);
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"signature only", good.substr(0, 8)},
        {"not png", "GIF89a.........."},
        {"cut in header", good.substr(0, 20)},
        {"cut in data", good.substr(0, good.size() / 2)},
        {"bad IHDR crc", badCrc},
        {"zero width", zeroWidth},
        {"too large", huge},
        {"wider than its data", wider},
        {"scrambled data", badData},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QV::PngImage image;
        QV::MemoryImageSource source(c.bytes.data(), c.bytes.size());
        std::string error;
        EXPECT_FALSE(image.decode(source, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(image.pixels(), nullptr);
        EXPECT_EQ(image.byteSize(), 0u);
    }
}

TEST(PngImage, SignatureWinsOverOtherMagics) {
    const unsigned char png[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 'D', 'D'};
    EXPECT_TRUE(QV::PngImage::hasPngSignature(png, sizeof png));
    EXPECT_FALSE(QV::PngImage::hasPngSignature(png, 7));
    EXPECT_FALSE(QV::PngImage::hasPngSignature("DDS \x89PNG", 8));
}

// ---------------------------------------------------------------- QVT

std::string qvtWithPayload(uint32_t format, uint32_t w, uint32_t h, const Bytes& payload) {
    std::string file = QV::qvtHeader(format, w, h, static_cast<uint32_t>(payload.size()));
    file.append(payload.begin(), payload.end());
    return file;
}

TEST(QVTImage, TilesLandWhereTheFormatPutsThem) {
    // Payload byte i holds i (mod 256), so a pixel tells which payload bytes it came from.
    auto counting = [](size_t n) {
        Bytes b(n);
        for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i);
        return b;
    };
    struct Probe {
        uint32_t x, y;
        uint8_t firstByte;  // red channel
    };
    struct Case {
        const char* name;
        uint32_t format, w, h;
        std::vector<Probe> probes;
    } cases[] = {
        // One 4 x 8 tile: bytes 0..15 are row 0, 16..31 row 1.
        {"4x8 one tile", 2, 4, 8, {{0, 0, 0}, {3, 0, 12}, {0, 1, 16}, {2, 7, 120}}},
        // Two tiles side by side: the second tile starts at (4, 0).
        {"8x8 two tiles", 2, 8, 8, {{4, 0, 128}, {3, 0, 12}, {5, 1, 148}}},
        // 16 x 16: tile 4 starts the second band at (0, 8); 4 x 8 x 4 x 4 = 512 bytes on.
        {"16x16 second band", 2, 16, 16, {{0, 8, 0}, {12, 0, 128 * 3 % 256}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = qvtWithPayload(c.format, c.w, c.h, counting(c.w * c.h * 4));
        QV::QVTImage image;
        QV::MemoryImageSource source(file.data(), file.size());
        ASSERT_EQ(image.decode(source), QV::QVTImage::kDecoded);
        EXPECT_EQ(image.width(), c.w);
        EXPECT_EQ(image.rowBytes(), c.w);
        EXPECT_EQ(image.format(), QV::kImageFormatRGBA);
        for (const Probe& p : c.probes) {
            const uint8_t* px = pixelAt(image, p.x, p.y);
            EXPECT_EQ(px[0], p.firstByte) << p.x << "," << p.y;
            EXPECT_EQ(px[3], static_cast<uint8_t>(p.firstByte + 3)) << p.x << "," << p.y;
        }
    }

    // 32 x 16 format 3: four 16 x 8 tiles; tile 2 starts at (0, 8), its index 17 is (1, 9).
    Bytes palette(1024);
    for (int i = 0; i < 256; ++i) {
        palette[i * 4] = static_cast<uint8_t>(i);
        palette[i * 4 + 1] = static_cast<uint8_t>(255 - i);
        palette[i * 4 + 2] = 7;
        palette[i * 4 + 3] = static_cast<uint8_t>(i ^ 0x5A);
    }
    Bytes payload = palette;
    for (int t = 0; t < 4; ++t) {
        for (int k = 0; k < 128; ++k) payload.push_back(static_cast<uint8_t>(t * 50 + k % 50));
    }
    std::string file = qvtWithPayload(3, 32, 16, payload);
    QV::QVTImage image;
    QV::MemoryImageSource source(file.data(), file.size());
    ASSERT_EQ(image.decode(source), QV::QVTImage::kDecoded);
    const uint8_t* first = pixelAt(image, 0, 8);
    EXPECT_EQ(first[0], 100);  // tile 2, index 0
    const uint8_t* p = pixelAt(image, 1, 9);
    const uint8_t index = 100 + 17;
    EXPECT_EQ(Bytes(p, p + 4), Bytes(&palette[index * 4], &palette[index * 4] + 4));
    EXPECT_EQ(pixelAt(image, 16, 0)[0], 50);  // tile 1 at (16, 0)
}

TEST(QVTImage, GeneratedFilesRoundTrip) {
    const Bytes rgba = QV::makeTestPattern(24, 16, 3);
    std::string file = QV::encodeQvt2(rgba, 24, 16);
    QV::QVTImage image;
    QV::MemoryImageSource source(file.data(), file.size());
    ASSERT_EQ(image.decode(source), QV::QVTImage::kDecoded);
    EXPECT_EQ(pixelsOf(image), rgba);

    Bytes palette(1024), indices(48 * 8), expected;
    for (int i = 0; i < 1024; ++i) palette[i] = static_cast<uint8_t>(i * 7);
    for (size_t i = 0; i < indices.size(); ++i) {
        indices[i] = static_cast<uint8_t>(i * 13);
        expected.insert(expected.end(), &palette[indices[i] * 4], &palette[indices[i] * 4] + 4);
    }
    std::string file3 = QV::encodeQvt3(palette, indices, 48, 8);
    QV::QVTImage image3;
    QV::MemoryImageSource source3(file3.data(), file3.size());
    ASSERT_EQ(image3.decode(source3), QV::QVTImage::kDecoded);
    EXPECT_EQ(pixelsOf(image3), expected);
}

TEST(QVTImage, PayloadBorrowsTheStackRegionOrTheHeap) {
    QV::EngineAllocators allocators;
    allocators.init();
    QV::StackAllocator* stack = allocators.getStackAllocator();
    // 64 x 64 fits the 512 KiB region; 512 x 512 (1 MiB) does not and still decodes.
    for (uint32_t side : {64u, 512u}) {
        SCOPED_TRACE(side);
        const Bytes rgba = QV::makeTestPattern(side, side);
        const std::string file = QV::encodeQvt2(rgba, side, side);
        QV::QVTImage image;
        QV::MemoryImageSource source(file.data(), file.size());
        ASSERT_EQ(image.decode(source), QV::QVTImage::kDecoded);
        EXPECT_EQ(pixelsOf(image), rgba);
        EXPECT_EQ(stack->top(), 0u);
    }
    const std::string cut = QV::qvtHeader(2, 64, 64, 64 * 64 * 4) + std::string(100, 'x');
    QV::QVTImage image;
    QV::MemoryImageSource source(cut.data(), cut.size());
    EXPECT_EQ(image.decode(source), QV::QVTImage::kBadHeader);
    EXPECT_EQ(stack->top(), 0u);
}

TEST(QVTImage, HeadersThatDoNotFitAreRefused) {
    const Bytes full(4096 + 1024, 1);
    auto withPayload = [&](uint32_t format, uint32_t w, uint32_t h, uint32_t declared,
                           size_t present) {
        std::string file = QV::qvtHeader(format, w, h, declared);
        file.append(full.begin(), full.begin() + present);
        return file;
    };
    struct Case {
        const char* name;
        std::string bytes;
        QV::QVTImage::DecodeResult result;
    } cases[] = {
        {"empty", "", QV::QVTImage::kBadMagic},
        {"short header", std::string("QVT.\x02\0\0\0", 8), QV::QVTImage::kBadMagic},
        {"wrong magic", "QVT,"+ withPayload(2, 4, 8, 128, 128).substr(4), QV::QVTImage::kBadMagic},
        {"format 4", withPayload(4, 4, 8, 128, 128), QV::QVTImage::kUnknownFormat},
        {"format 0", withPayload(0, 4, 8, 128, 128), QV::QVTImage::kUnknownFormat},
        {"zero width", withPayload(2, 0, 8, 0, 0), QV::QVTImage::kBadHeader},
        {"zero height", withPayload(2, 4, 0, 0, 0), QV::QVTImage::kBadHeader},
        {"width 2 (tile 4)", withPayload(2, 2, 8, 64, 64), QV::QVTImage::kBadHeader},
        {"height 4 (tile 8)", withPayload(2, 4, 4, 64, 64), QV::QVTImage::kBadHeader},
        {"format 3 width 8", withPayload(3, 8, 8, 1088, 1088), QV::QVTImage::kBadHeader},
        {"payload size short", withPayload(2, 4, 8, 127, 128), QV::QVTImage::kBadHeader},
        {"payload past end", withPayload(2, 4, 8, 128, 100), QV::QVTImage::kBadHeader},
        {"palette only", withPayload(3, 16, 8, 1024, 1024), QV::QVTImage::kBadHeader},
        {"size overflow", withPayload(2, 0x40000000, 8, 128, 128), QV::QVTImage::kBadHeader},
        {"wrapping product", withPayload(2, 0x10000, 0x10000, 0, 0), QV::QVTImage::kBadHeader},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QV::QVTImage image;
        QV::MemoryImageSource source(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(image.decode(source), c.result);
        EXPECT_EQ(image.pixels(), nullptr);
        EXPECT_EQ(image.byteSize(), 0u);
    }
}

// ---------------------------------------------------------------- DDS

TEST(DDSImage, Dxt5DataIsKeptAsItIs) {
    for (uint32_t side : {8u, 7u}) {
        SCOPED_TRACE(side);
        std::string file = QV::encodeDdsDxt5(QV::makeTestPattern(side, 5), side, 5);
        file += "mip";  // what follows the first level stays in the data
        QV::DDSImage image;
        QV::MemoryImageSource source(file.data(), file.size());
        ASSERT_EQ(image.decode(source), QV::DDSImage::kDecoded);
        EXPECT_EQ(image.format(), QV::kImageFormatDXT5);
        EXPECT_EQ(image.width(), side);
        EXPECT_EQ(image.height(), 5u);
        EXPECT_EQ(image.rowBytes(), 0u);
        EXPECT_EQ(image.loadedMarker(), QV::DDSImage::kLoaded);
        ASSERT_EQ(image.byteSize(), file.size() - 128);
        EXPECT_EQ(0, std::memcmp(image.pixels(), file.data() + 128, image.byteSize()));
    }
}

TEST(DDSImage, OnlyWholeDxt5FilesAreAccepted) {
    const std::string good = QV::encodeDdsDxt5(QV::makeTestPattern(8, 8), 8, 8);
    auto withFourCC = [&](const char* code) {
        std::string s = good;
        std::memcpy(&s[84], code, 4);
        return s;
    };
    std::string palette = good;
    palette[80] = 32;  // pixel-format flags: palette
    std::string zeroWidth = good;
    std::memset(&zeroWidth[16], 0, 4);
    std::string wide = good;  // claims 64 wide: needs four times the data
    wide[16] = 64;
    struct Case {
        const char* name;
        std::string bytes;
        QV::DDSImage::DecodeResult result;
        int32_t format;
    } cases[] = {
        {"empty", "", QV::DDSImage::kBadMagic, QV::kImageFormatOther},
        {"not dds", "PDS " + good.substr(4), QV::DDSImage::kBadMagic, QV::kImageFormatOther},
        {"magic only", "DDS ", QV::DDSImage::kShortHeader, QV::kImageFormatOther},
        {"cut header", good.substr(0, 100), QV::DDSImage::kShortHeader, QV::kImageFormatOther},
        {"dxt1", withFourCC("DXT1"), QV::DDSImage::kNotDXT5, QV::kImageFormatDXT1},
        {"dxt3", withFourCC("DXT3"), QV::DDSImage::kNotDXT5, QV::kImageFormatDXT3},
        {"other fourcc", withFourCC("ATI2"), QV::DDSImage::kNotDXT5, QV::kImageFormatOther},
        {"palette", palette, QV::DDSImage::kNotDXT5, QV::kImageFormatPalette},
        {"no data", good.substr(0, 128), QV::DDSImage::kBadSize, QV::kImageFormatDXT5},
        {"short data", good.substr(0, good.size() - 1), QV::DDSImage::kBadSize,
         QV::kImageFormatDXT5},
        {"zero width", zeroWidth, QV::DDSImage::kBadSize, QV::kImageFormatDXT5},
        {"wider than data", wide, QV::DDSImage::kBadSize, QV::kImageFormatDXT5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QV::DDSImage image;
        QV::MemoryImageSource source(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(image.decode(source), c.result);
        EXPECT_EQ(image.format(), c.format);
        EXPECT_EQ(image.pixels(), nullptr);
        EXPECT_EQ(image.loadedMarker(), 0);
    }
}

// ---------------------------------------------------------------- JPEG

bool decodePair(QV::JpegImage& image, const std::string& colour, const std::string& alpha,
                std::string* error) {
    QV::MemoryImageSource c(colour.data(), colour.size());
    QV::MemoryImageSource a(alpha.data(), alpha.size());
    return image.decode(c, a, error);
}

TEST(JpegImage, PairCombinesColourAndAlpha) {
    const uint32_t w = 21, h = 11;
    Bytes rgba(w * h * 4);
    for (uint32_t i = 0; i < w * h; ++i) {  // flat halves compress almost exactly
        bool left = (i % w) < 10;
        rgba[i * 4 + 0] = left ? 200 : 30;
        rgba[i * 4 + 1] = left ? 60 : 180;
        rgba[i * 4 + 2] = 90;
        rgba[i * 4 + 3] = left ? 255 : 0;
    }
    QV::JpegPair pair = QV::encodeJpegPair(rgba, w, h, 100);
    QV::JpegImage image;
    std::string error;
    ASSERT_TRUE(decodePair(image, pair.colour, pair.alpha, &error)) << error;
    EXPECT_EQ(image.width(), w);
    EXPECT_EQ(image.height(), h);
    EXPECT_EQ(image.format(), QV::kImageFormatRGBA);
    EXPECT_EQ(image.byteSize(), w * h * 4);
    EXPECT_EQ(image.rowBytes(), w * h * 4);
    for (uint32_t y : {0u, 5u, 10u}) {
        for (uint32_t x : {0u, 4u, 16u, 20u}) {
            const uint8_t* want = &rgba[(y * w + x) * 4];
            const uint8_t* got = pixelAt(image, x, y);
            for (int c = 0; c < 4; ++c) EXPECT_NEAR(got[c], want[c], 6) << x << "," << y << " " << c;
        }
    }
}

TEST(JpegImage, AlphaNameInsertsBeforeTheLastImageSuffix) {
    EXPECT_EQ(QV::JpegImage::alphaName("sky_image"), "sky_a_image");
    EXPECT_EQ(QV::JpegImage::alphaName("bg_image_night_image"), "bg_image_night_a_image");
    EXPECT_EQ(QV::JpegImage::alphaName("sky_imagery"), "sky_a_imagery");
    EXPECT_EQ(QV::JpegImage::alphaName("sky"), "");
}

TEST(JpegImage, MismatchedOrBrokenPairsAreRefusedWithoutEndingTheProcess) {
    const Bytes rgba = QV::makeTestPattern(16, 8);
    const QV::JpegPair pair = QV::encodeJpegPair(rgba, 16, 8);
    const QV::JpegPair other = QV::encodeJpegPair(QV::makeTestPattern(16, 9), 16, 9);
    const std::string greyColour = pair.alpha;
    const std::string colourAlpha = pair.colour;
    std::string scrambled = pair.colour;
    for (size_t i = 200; i < scrambled.size(); ++i) scrambled[i] = static_cast<char>(0xFF);
    struct Case {
        const char* name;
        std::string colour, alpha;
        const char* reason;
    } cases[] = {
        {"empty colour", "", pair.alpha, "colour"},
        {"empty alpha", pair.colour, "", "alpha"},
        {"not jpeg", "\xFF\xD8 not really", pair.alpha, "colour"},
        {"cut header", pair.colour.substr(0, 40), pair.alpha, "colour"},
        {"grey colour", greyColour, pair.alpha, "components"},
        {"colour alpha", pair.colour, colourAlpha, "components"},
        {"alpha of another size", pair.colour, other.alpha, "alpha is 16x9"},
        {"scrambled", scrambled, pair.alpha, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QV::JpegImage image;
        std::string error;
        bool ok = decodePair(image, c.colour, c.alpha, &error);
        if (std::string(c.name) == "scrambled" && ok) continue;  // libjpeg may only warn
        EXPECT_FALSE(ok);
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(image.pixels(), nullptr);
    }
}

// ---------------------------------------------------------------- padding

TEST(ImagePadding, GrowsRgbaImagesToPowersOfTwo) {
    const Bytes rgba = QV::makeTestPattern(100, 60);
    std::string file = QV::encodeQvt2(QV::makeTestPattern(100, 64), 100, 64);
    QV::PngImage png;
    std::string pngFile = QV::encodePng(rgba, 100, 60);
    QV::MemoryImageSource source(pngFile.data(), pngFile.size());
    ASSERT_TRUE(png.decode(source, nullptr));
    ASSERT_EQ(png.padToPowerOfTwo(), 0);
    EXPECT_EQ(png.width(), 128u);
    EXPECT_EQ(png.height(), 64u);
    EXPECT_EQ(png.rowBytes(), 512u);
    EXPECT_EQ(png.byteSize(), 32768u);
    EXPECT_EQ(png.decodedWidth(), 100u);
    EXPECT_EQ(png.decodedHeight(), 60u);
    for (uint32_t y : {0u, 59u}) {
        EXPECT_EQ(0, std::memcmp(pixelAt(png, 0, y), &rgba[y * 400], 400)) << y;
        EXPECT_EQ(Bytes(pixelAt(png, 100, y), pixelAt(png, 128, y)), Bytes(28 * 4, 0));
    }
    EXPECT_EQ(Bytes(pixelAt(png, 0, 60), pixelAt(png, 0, 60) + 512 * 4), Bytes(512 * 4, 0));
    EXPECT_EQ(png.padToPowerOfTwo(), 1);  // already padded

    // RGB images (code 1) and DDS blocks are left alone.
    QV::PngEncodeOptions rgb;
    rgb.layout = QV::PngLayout::RGB;
    std::string rgbFile = QV::encodePng(rgba, 100, 60, rgb);
    QV::PngImage opaque;
    QV::MemoryImageSource rgbSource(rgbFile.data(), rgbFile.size());
    ASSERT_TRUE(opaque.decode(rgbSource, nullptr));
    EXPECT_EQ(opaque.padToPowerOfTwo(), 1);
    EXPECT_EQ(opaque.width(), 100u);

    std::string ddsFile = QV::encodeDdsDxt5(rgba, 100, 60);
    QV::DDSImage dds;
    QV::MemoryImageSource ddsSource(ddsFile.data(), ddsFile.size());
    ASSERT_EQ(dds.decode(ddsSource), QV::DDSImage::kDecoded);
    EXPECT_EQ(dds.padToPowerOfTwo(), 1);
    EXPECT_EQ(dds.width(), 100u);

    QV::QVTImage qvt;
    QV::MemoryImageSource qvtSource(file.data(), file.size());
    ASSERT_EQ(qvt.decode(qvtSource), QV::QVTImage::kDecoded);
    EXPECT_EQ(qvt.padToPowerOfTwo(), 0);
    EXPECT_EQ(qvt.width(), 128u);
}

TEST(ImagePadding, NextPowerOfTwo) {
    const uint32_t cases[][2] = {{0, 1}, {1, 1}, {2, 2}, {3, 4}, {60, 64}, {64, 64},
                                 {100, 128}, {1025, 2048}, {8192, 8192}};
    for (const auto& c : cases) EXPECT_EQ(QV::nextPowerOfTwo(c[0]), c[1]) << c[0];
}

}  // namespace
