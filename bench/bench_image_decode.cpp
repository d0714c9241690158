// PNG decoding through PngImage against a bare libpng loop on the same files;
// throughput is counted in decoded RGBA bytes.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "image_encode.h"
#include "image_png.h"
#include "image_qvt.h"

namespace {

struct PngSample {
    const char* name;
    uint32_t width, height;
    QV::PngLayout layout;
};

const PngSample kSamples[] = {
    {"rgba_64", 64, 64, QV::PngLayout::RGBA},
    {"rgba_256", 256, 256, QV::PngLayout::RGBA},
    {"rgba_1024", 1024, 1024, QV::PngLayout::RGBA},
    {"rgb_512", 512, 512, QV::PngLayout::RGB},
};

const std::vector<std::string>& pngSet() {
    static std::vector<std::string> files = [] {
        std::vector<std::string> out;
        for (const PngSample& s : kSamples) {
            QV::PngEncodeOptions options;
            options.layout = s.layout;
            out.push_back(QV::encodePng(QV::makeTestPattern(s.width, s.height), s.width,
                                        s.height, options));
        }
        return out;
    }();
    return files;
}

struct MemoryReader {
    const std::string* bytes;
    size_t offset;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    MemoryReader* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (r->offset + length > r->bytes->size()) png_error(png, "short");
    std::memcpy(out, r->bytes->data() + r->offset, length);
    r->offset += length;
}

// The plain loop: same transforms, one buffer, no checks beyond libpng's.
size_t decodeWithLibpng(const std::string& file, std::vector<unsigned char>* pixels) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&file, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return 0;
    }
    png_set_read_fn(png, &reader, readFromMemory);
    png_read_info(png, info);
    png_set_strip_16(png);
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    pixels->resize(rowBytes * height);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels->data() + y * rowBytes;
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return rowBytes * height;
}

void BM_PngImageDecode(benchmark::State& state) {
    const std::string& file = pngSet()[state.range(0)];
    size_t bytes = 0;
    for (auto _ : state) {
        QV::PngImage image;
        QV::MemoryImageSource source(file.data(), file.size());
        if (!image.decode(source, nullptr)) state.SkipWithError("decode failed");
        bytes += image.byteSize();
        benchmark::DoNotOptimize(image.pixels());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.SetLabel(kSamples[state.range(0)].name);
}

void BM_LibpngLoop(benchmark::State& state) {
    const std::string& file = pngSet()[state.range(0)];
    std::vector<unsigned char> pixels;
    size_t bytes = 0;
    for (auto _ : state) {
        pixels.clear();
        pixels.shrink_to_fit();  // allocate per image, as the decoder does
        bytes += decodeWithLibpng(file, &pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.SetLabel(kSamples[state.range(0)].name);
}

void BM_QvtDecode(benchmark::State& state) {
    const uint32_t side = static_cast<uint32_t>(state.range(0));
    const std::string file = QV::encodeQvt2(QV::makeTestPattern(side, side), side, side);
    size_t bytes = 0;
    for (auto _ : state) {
        QV::QVTImage image;
        QV::MemoryImageSource source(file.data(), file.size());
        if (image.decode(source) != QV::QVTImage::kDecoded) state.SkipWithError("decode failed");
        bytes += image.byteSize();
        benchmark::DoNotOptimize(image.pixels());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK(BM_PngImageDecode)->DenseRange(0, 3);
BENCHMARK(BM_LibpngLoop)->DenseRange(0, 3);
BENCHMARK(BM_QvtDecode)->Arg(256)->Arg(1024);

BENCHMARK_MAIN();
