// Feeds arbitrary bytes to the video reader as an Ogg Theora file, decodes a
// few frames and converts each to RGBA and to the shader planes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "file.h"
#include "log_system.h"
#include "video_surface.h"
#include "video_theora_reader.h"

namespace {

class MemoryFile : public QV::File {
public:
    MemoryFile(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    int read(void* buffer, int count) override {
        if (count <= 0 || mPosition >= mSize) return 0;
        const size_t n = std::min(static_cast<size_t>(count), mSize - mPosition);
        std::memcpy(buffer, mData + mPosition, n);
        mPosition += n;
        return static_cast<int>(n);
    }
    void close() override {}
    uint32_t size() override { return static_cast<uint32_t>(mSize); }
    int32_t position() override { return static_cast<int32_t>(mPosition); }
    bool open(const std::string&) override { return true; }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPosition = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QV::LogSystem* log = [] {
        QV::LogSystem* system = new QV::LogSystem();
        system->streams().clear();  // quiet: the header dump would flood the output
        return system;
    }();
    (void)log;

    MemoryFile file(data, size);
    QV::VideoTheoraReader reader;
    if (!reader.open(&file)) return 0;
    const uint32_t width = reader.frameWidth();
    const uint32_t height = reader.frameHeight();
    // Large frames are legal; a few small ones show more of the decoder per run.
    if (uint64_t(width) * height > 1024 * 1024) return 0;
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    std::vector<uint8_t> luma(size_t(width) * height);
    std::vector<uint8_t> chroma(size_t(width / 2) * (height / 2) * 2);
    yuv_buffer frame;
    for (int i = 0; i < 16; ++i) {
        if (reader.decodeFrame(&frame) != QV::VideoTheoraReader::Result::Frame) break;
        QV::convertYuvToRgba(frame, width, height, rgba.data());
        QV::copyYuvPlanes(frame, width, height, luma.data(), chroma.data());
    }
    return 0;
}
