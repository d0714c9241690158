#include "image_encode.h"

#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace QV {

namespace {

void appendLE32(std::string* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// ---- PNG ----

struct PngWriteState {
    std::jmp_buf jump;
    std::string out;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<uint8_t> rows;
    std::vector<png_bytep> rowPointers;
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
    ~PngWriteState() {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
    PngWriteState* s = static_cast<PngWriteState*>(png_get_io_ptr(png));
    s->out.append(reinterpret_cast<const char*>(data), length);
}
void pngFlush(png_structp) {}
void pngError(png_structp png, png_const_charp) {
    std::longjmp(static_cast<PngWriteState*>(png_get_error_ptr(png))->jump, 1);
}
void pngWarning(png_structp, png_const_charp) {}

// Samples of one pixel in the chosen layout, appended at the given depth.
void appendSample(std::vector<uint8_t>* row, uint8_t value, int bitDepth) {
    row->push_back(value);
    if (bitDepth == 16) row->push_back(value);  // v * 257, the exact 16-bit widening
}

bool buildPngRows(PngWriteState& s, const std::vector<uint8_t>& rgba, uint32_t width,
                  uint32_t height, const PngEncodeOptions& o, int* colourType) {
    std::map<uint32_t, uint8_t> index;
    if (o.layout == PngLayout::Palette) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
            uint32_t key;
            std::memcpy(&key, &rgba[i * 4], 4);
            if (index.count(key)) continue;
            if (index.size() == 256) return false;
            const uint8_t next = static_cast<uint8_t>(index.size());
            index[key] = next;
            s.palette.push_back(png_color{rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2]});
            s.alphas.push_back(rgba[i * 4 + 3]);
        }
        // Drop a tRNS chunk that would say nothing.
        if (std::all_of(s.alphas.begin(), s.alphas.end(), [](png_byte a) { return a == 255; })) {
            s.alphas.clear();
        }
    }
    switch (o.layout) {
        case PngLayout::RGBA: *colourType = PNG_COLOR_TYPE_RGB_ALPHA; break;
        case PngLayout::RGB: *colourType = PNG_COLOR_TYPE_RGB; break;
        case PngLayout::Grey: *colourType = PNG_COLOR_TYPE_GRAY; break;
        case PngLayout::GreyAlpha: *colourType = PNG_COLOR_TYPE_GRAY_ALPHA; break;
        case PngLayout::Palette: *colourType = PNG_COLOR_TYPE_PALETTE; break;
    }
    const int depth = o.layout == PngLayout::Palette ? 8 : o.bitDepth;
    std::vector<std::size_t> offsets;
    for (uint32_t y = 0; y < height; ++y) {
        offsets.push_back(s.rows.size());
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            switch (o.layout) {
                case PngLayout::RGBA:
                    for (int c = 0; c < 4; ++c) appendSample(&s.rows, p[c], depth);
                    break;
                case PngLayout::RGB:
                    for (int c = 0; c < 3; ++c) appendSample(&s.rows, p[c], depth);
                    break;
                case PngLayout::Grey: appendSample(&s.rows, p[0], depth); break;
                case PngLayout::GreyAlpha:
                    appendSample(&s.rows, p[0], depth);
                    appendSample(&s.rows, p[3], depth);
                    break;
                case PngLayout::Palette: {
                    uint32_t key;
                    std::memcpy(&key, p, 4);
                    s.rows.push_back(index[key]);
                    break;
                }
            }
        }
    }
    for (std::size_t off : offsets) s.rowPointers.push_back(s.rows.data() + off);
    return true;
}

// ---- JPEG ----

struct JpegWriteError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void jpegWriteExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegWriteError*>(cinfo->err)->jump, 1);
}

struct JpegWriteState {
    jpeg_compress_struct cinfo;
    JpegWriteError error;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool created = false;
    ~JpegWriteState() {
        if (created) jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
};

void writeJpeg(JpegWriteState& s, const std::vector<uint8_t>& samples, uint32_t width,
               uint32_t height, int components, int quality) {
    jpeg_create_compress(&s.cinfo);
    s.created = true;
    jpeg_mem_dest(&s.cinfo, &s.buffer, &s.size);
    s.cinfo.image_width = width;
    s.cinfo.image_height = height;
    s.cinfo.input_components = components;
    s.cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, quality, TRUE);
    jpeg_start_compress(&s.cinfo, TRUE);
    const std::size_t stride = static_cast<std::size_t>(width) * components;
    while (s.cinfo.next_scanline < height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + stride * s.cinfo.next_scanline);
        jpeg_write_scanlines(&s.cinfo, &row, 1);
    }
    jpeg_finish_compress(&s.cinfo);
}

// ---- DXT5 ----

uint16_t toRgb565(int r, int g, int b) {
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

void fromRgb565(uint16_t c, int* rgb) {
    rgb[0] = ((c >> 11) & 31) * 255 / 31;
    rgb[1] = ((c >> 5) & 63) * 255 / 63;
    rgb[2] = (c & 31) * 255 / 31;
}

// One 4 x 4 block: bounding-box end points, nearest palette entry per pixel.
void encodeDxt5Block(const uint8_t block[16][4], std::string* out) {
    int aMax = 0, aMin = 255;
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        aMax = std::max<int>(aMax, block[i][3]);
        aMin = std::min<int>(aMin, block[i][3]);
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min<int>(lo[c], block[i][c]);
            hi[c] = std::max<int>(hi[c], block[i][c]);
        }
    }
    // Alpha: a0 > a1 selects eight interpolated values.
    int alphas[8] = {aMax, aMin};
    for (int i = 1; i <= 6; ++i) alphas[i + 1] = ((7 - i) * aMax + i * aMin) / 7;
    uint64_t alphaBits = 0;
    for (int i = 0; i < 16; ++i) {
        int best = 0, bestDist = 1 << 30;
        for (int k = 0; k < 8; ++k) {
            int d = std::abs(alphas[k] - block[i][3]);
            if (d < bestDist) { bestDist = d; best = k; }
        }
        if (aMax == aMin) best = 0;
        alphaBits |= static_cast<uint64_t>(best) << (3 * i);
    }
    out->push_back(static_cast<char>(aMax));
    out->push_back(static_cast<char>(aMin));
    for (int i = 0; i < 6; ++i) out->push_back(static_cast<char>((alphaBits >> (8 * i)) & 0xFF));

    uint16_t c0 = toRgb565(hi[0], hi[1], hi[2]);
    uint16_t c1 = toRgb565(lo[0], lo[1], lo[2]);
    if (c0 < c1) std::swap(c0, c1);
    int colours[4][3];
    fromRgb565(c0, colours[0]);
    fromRgb565(c1, colours[1]);
    for (int c = 0; c < 3; ++c) {
        colours[2][c] = (2 * colours[0][c] + colours[1][c]) / 3;
        colours[3][c] = (colours[0][c] + 2 * colours[1][c]) / 3;
    }
    uint32_t colourBits = 0;
    for (int i = 0; i < 16; ++i) {
        int best = 0, bestDist = 1 << 30;
        for (int k = 0; k < 4; ++k) {
            int d = 0;
            for (int c = 0; c < 3; ++c) {
                int e = colours[k][c] - block[i][c];
                d += e * e;
            }
            if (d < bestDist) { bestDist = d; best = k; }
        }
        colourBits |= static_cast<uint32_t>(best) << (2 * i);
    }
    out->push_back(static_cast<char>(c0 & 0xFF));
    out->push_back(static_cast<char>(c0 >> 8));
    out->push_back(static_cast<char>(c1 & 0xFF));
    out->push_back(static_cast<char>(c1 >> 8));
    appendLE32(out, colourBits);
}

}  // namespace

std::string encodePng(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height,
                      const PngEncodeOptions& options) {
    std::unique_ptr<PngWriteState> s(new PngWriteState());
    int colourType = 0;
    if (rgba.size() < static_cast<std::size_t>(width) * height * 4) return std::string();
    if (!buildPngRows(*s, rgba, width, height, options, &colourType)) return std::string();
    s->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, s.get(), pngError, pngWarning);
    if (!s->png) return std::string();
    s->info = png_create_info_struct(s->png);
    if (!s->info) return std::string();
    if (setjmp(s->jump)) return std::string();
    png_set_write_fn(s->png, s.get(), pngWrite, pngFlush);
    png_set_compression_level(s->png, options.compression);
    const int depth = options.layout == PngLayout::Palette ? 8 : options.bitDepth;
    png_set_IHDR(s->png, s->info, width, height, depth, colourType,
                 options.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(s->png, s->info, s->palette.data(), static_cast<int>(s->palette.size()));
        if (!s->alphas.empty()) {
            png_set_tRNS(s->png, s->info, s->alphas.data(), static_cast<int>(s->alphas.size()),
                         nullptr);
        }
    }
    png_write_info(s->png, s->info);
    png_write_image(s->png, s->rowPointers.data());
    png_write_end(s->png, nullptr);
    return s->out;
}

std::string encodeJpeg(const std::vector<uint8_t>& samples, uint32_t width, uint32_t height,
                       int components, int quality) {
    if ((components != 1 && components != 3) ||
        samples.size() < static_cast<std::size_t>(width) * height * components) {
        return std::string();
    }
    std::unique_ptr<JpegWriteState> s(new JpegWriteState());
    s->cinfo.err = jpeg_std_error(&s->error.pub);
    s->error.pub.error_exit = jpegWriteExit;
    if (setjmp(s->error.jump)) return std::string();
    writeJpeg(*s, samples, width, height, components, quality);
    return std::string(reinterpret_cast<const char*>(s->buffer), s->size);
}

JpegPair encodeJpegPair(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height,
                        int quality) {
    const std::size_t count = static_cast<std::size_t>(width) * height;
    std::vector<uint8_t> rgb(count * 3), alpha(count);
    for (std::size_t i = 0; i < count && i * 4 + 3 < rgba.size(); ++i) {
        for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = rgba[i * 4 + c];
        alpha[i] = rgba[i * 4 + 3];
    }
    return JpegPair{encodeJpeg(rgb, width, height, 3, quality),
                    encodeJpeg(alpha, width, height, 1, quality)};
}

std::string encodeDdsDxt5(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height) {
    if (width == 0 || height == 0 || rgba.size() < static_cast<std::size_t>(width) * height * 4) {
        return std::string();
    }
    const uint32_t blocksAcross = (width + 3) / 4, blocksDown = (height + 3) / 4;
    std::string out = "DDS ";
    appendLE32(&out, 124);                              // header size
    appendLE32(&out, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000);  // caps, height, width, format, linear size
    appendLE32(&out, height);
    appendLE32(&out, width);
    appendLE32(&out, blocksAcross * blocksDown * 16);   // linear size
    appendLE32(&out, 0);                                // depth
    appendLE32(&out, 0);                                // mipmap count
    for (int i = 0; i < 11; ++i) appendLE32(&out, 0);
    appendLE32(&out, 32);                               // pixel format size
    appendLE32(&out, 0x4);                              // FourCC present
    out += "DXT5";
    for (int i = 0; i < 5; ++i) appendLE32(&out, 0);    // bit count and masks
    appendLE32(&out, 0x1000);                           // a texture
    for (int i = 0; i < 4; ++i) appendLE32(&out, 0);
    for (uint32_t by = 0; by < blocksDown; ++by) {
        for (uint32_t bx = 0; bx < blocksAcross; ++bx) {
            uint8_t block[16][4];
            for (int i = 0; i < 16; ++i) {
                // Edge blocks repeat the last column and row.
                uint32_t x = std::min(bx * 4 + i % 4, width - 1);
                uint32_t y = std::min(by * 4 + i / 4, height - 1);
                std::memcpy(block[i], &rgba[(static_cast<std::size_t>(y) * width + x) * 4], 4);
            }
            encodeDxt5Block(block, &out);
        }
    }
    return out;
}

std::string qvtHeader(uint32_t format, uint32_t width, uint32_t height, uint32_t payloadSize) {
    std::string out = "QVT.";
    appendLE32(&out, format);
    appendLE32(&out, width);
    appendLE32(&out, height);
    appendLE32(&out, payloadSize);
    return out;
}

std::string encodeQvt2(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height) {
    if (width % 4 || height % 8 || rgba.size() < static_cast<std::size_t>(width) * height * 4) {
        return std::string();
    }
    std::string out = qvtHeader(2, width, height, width * height * 4);
    for (uint32_t band = 0; band < height / 8; ++band) {
        for (uint32_t col = 0; col < width / 4; ++col) {
            for (uint32_t k = 0; k < 32; ++k) {
                uint32_t x = col * 4 + k % 4, y = band * 8 + k / 4;
                out.append(reinterpret_cast<const char*>(&rgba[(y * width + x) * 4]), 4);
            }
        }
    }
    return out;
}

std::string encodeQvt3(const std::vector<uint8_t>& palette, const std::vector<uint8_t>& indices,
                       uint32_t width, uint32_t height) {
    if (width % 16 || height % 8 || palette.size() < 1024 ||
        indices.size() < static_cast<std::size_t>(width) * height) {
        return std::string();
    }
    std::string out = qvtHeader(3, width, height, 1024 + width * height);
    out.append(reinterpret_cast<const char*>(palette.data()), 1024);
    for (uint32_t band = 0; band < height / 8; ++band) {
        for (uint32_t col = 0; col < width / 16; ++col) {
            for (uint32_t k = 0; k < 128; ++k) {
                uint32_t x = col * 16 + k % 16, y = band * 8 + k / 16;
                out.push_back(static_cast<char>(indices[y * width + x]));
            }
        }
    }
    return out;
}

std::vector<uint8_t> makeTestPattern(uint32_t width, uint32_t height, uint32_t seed) {
    std::vector<uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            const bool checker = ((x / 8) + (y / 8)) % 2 == 0;
            p[0] = static_cast<uint8_t>(width > 1 ? x * 255 / (width - 1) : 0);
            p[1] = static_cast<uint8_t>(height > 1 ? y * 255 / (height - 1) : 0);
            p[2] = static_cast<uint8_t>((checker ? 200 : 40) + seed);
            p[3] = static_cast<uint8_t>(255 - ((x + y + seed) % 256));
        }
    }
    return rgba;
}

}  // namespace QV
