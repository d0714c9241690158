// The decoding thread converts every frame before the main thread uploads
// it: RGBA on the CPU path, luma rows and chroma pairs for the shader path.
// At 25 frames a second a 1280 x 720 frame has 40 ms for decode and convert.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "video_surface.h"

namespace {

struct Frame {
    std::vector<uint8_t> y, u, v;
    yuv_buffer buffer{};
    Frame(int width, int height) : y(size_t(width) * height), u(size_t(width / 2) * (height / 2)), v(u.size()) {
        for (size_t i = 0; i < y.size(); ++i) y[i] = uint8_t(i * 7);
        for (size_t i = 0; i < u.size(); ++i) {
            u[i] = uint8_t(i * 3);
            v[i] = uint8_t(255 - i * 5);
        }
        // Bottom-up rows with a negative stride, as the decoder hands them out.
        buffer.y_width = width;
        buffer.y_height = height;
        buffer.y_stride = -width;
        buffer.y = y.data() + size_t(width) * (height - 1);
        buffer.uv_width = width / 2;
        buffer.uv_height = height / 2;
        buffer.uv_stride = -(width / 2);
        buffer.u = u.data() + size_t(width / 2) * (height / 2 - 1);
        buffer.v = v.data() + size_t(width / 2) * (height / 2 - 1);
    }
};

void BM_ConvertRgba(benchmark::State& state) {
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    Frame frame(width, height);
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(QV::convertYuvToRgba(frame.buffer, width, height, rgba.data()));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_ConvertRgba)->Args({640, 480})->Args({1280, 720})->Unit(benchmark::kMillisecond);

void BM_CopyPlanes(benchmark::State& state) {
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    Frame frame(width, height);
    std::vector<uint8_t> luma(size_t(width) * height);
    std::vector<uint8_t> chroma(size_t(width / 2) * (height / 2) * 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(QV::copyYuvPlanes(frame.buffer, width, height, luma.data(), chroma.data()));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_CopyPlanes)->Args({640, 480})->Args({1280, 720})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
