// Sprite throughput: N alpha-blended 32x32 quads from one 256x256 atlas at
// 1280x720 through the engine's batching on the OpenGL back end, one record
// per sprite as the engine's sprites hand them over, positions rewritten
// every frame. The same workload runs in LOVE (a SpriteBatch, script in
// sprite_batching_love/) when the `love` program is installed, and both
// report frames per second.
//
// Both sides count finished frames: a software rasterizer queues whole
// frames behind the submitting thread, so each side waits for the queue to
// drain (a read-back) before its clock starts and again before it stops.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "application.h"
#include "color.h"
#include "config_manager.h"
#include "engine_notification_dispatcher.h"
#include "file_system.h"
#include "log_system.h"
#include "platform/window.h"
#include "render_system.h"
#include "texture.h"
#include "texture_manager.h"
#include "vertex_format.h"
#include "video_surface_streamer.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// The engine pieces the renderer stands on, over a scratch content folder.
class SpriteScene {
public:
    SpriteScene() {
        char pattern[] = "/tmp/qv_bench_sprites_XXXXXX";
        mDir = mkdtemp(pattern);
        writeText(mDir + "/media/config.lua",
                  "config = { platforms = { { name = \"pc\", directories = { \"common\" }, resolution = { 1280, 720 } } },"
                  " currentPlatform = \"pc\", currentLanguage = \"en\", defaultLanguage = \"en\" }\n");
        writeText(mDir + "/media/filelist.lua", "directories = { common = { { \"/lists/default.lua\" } } }\n");
        writeText(mDir + "/media/lists/default.lua", "name = \"default\"\nfilelist = {\n}\n");
        mPrevious = std::filesystem::current_path().string();
        std::filesystem::current_path(mDir);
        QV::gContentDirectory = "./media/";
        mLog = std::make_unique<QV::LogSystem>();
        mFiles = std::make_unique<QV::FileSystem>();
        mConfig = std::make_unique<QV::ConfigManager>();
        mConfig->load();
        mFiles->reloadFileTable();
        mDispatcher = std::make_unique<QV::EngineNotificationDispatcher>();
        mStreamer = std::make_unique<QV::VideoSurfaceStreamer>();
        mTextures = std::make_unique<QV::TextureManager>();

        QV::Platform::WindowDesc desc;
        desc.title = "sprite batching";
        desc.width = kWidth;
        desc.height = kHeight;
        desc.hidden = true;
        mWindow.reset(QV::Platform::Window::create(desc));
        if (!mWindow) return;
        mRecord.clientWidth = kWidth;
        mRecord.clientHeight = kHeight;
        mRecord.windowHandle = mWindow->nativeHandle();
        mRender = std::make_unique<QV::RenderSystem>(nullptr);
        mRender->setWindowRecord(&mRecord);
        mRender->createDevice(mWindow->nativeHandle());
        makeAtlas();
    }

    ~SpriteScene() {
        mSprites.clear();
        mTextures.reset();
        mRender.reset();
        mWindow.reset();
        mStreamer.reset();
        mDispatcher.reset();
        mConfig.reset();
        mFiles.reset();
        mLog.reset();
        std::error_code ec;
        std::filesystem::current_path(mPrevious, ec);
        std::filesystem::remove_all(mDir, ec);
    }

    bool ready() const { return mRender && mRender->getDevice(); }

    void setSpriteCount(int count) {
        const uint32_t stride = QV::VertexLayout::update();
        mSprites.clear();
        for (int i = 0; i < count; ++i) {
            auto sprite = std::make_unique<QV::RenderData>();
            uint8_t* bytes = sprite->allocateVertices(4);
            const int cell = i % 64;
            const float u0 = (cell % 8) / 8.0f, v0 = (cell / 8) / 8.0f;
            const float us[4] = {u0, u0 + 0.125f, u0 + 0.125f, u0};
            const float vs[4] = {v0, v0, v0 + 0.125f, v0 + 0.125f};
            const QV::Color color = QV::Color::fromBytes(255, 255, 255, 255);
            for (int k = 0; k < 4; ++k) {
                uint8_t* v = bytes + k * stride;
                const float uv[2] = {us[k], vs[k]};
                std::memcpy(v + QV::VertexLayout::diffuseOffset(), &color, sizeof(color));
                std::memcpy(v + QV::VertexLayout::texCoordOffset(0), uv, sizeof(uv));
            }
            sprite->addTexture(mAtlas);
            sprite->mBlendMode = 0;
            mSprites.push_back(std::move(sprite));
        }
    }

    void frame(int frameNumber) {
        const uint32_t stride = QV::VertexLayout::update();
        const uint32_t position = QV::VertexLayout::positionOffset();
        const float shift = static_cast<float>(frameNumber % 32);
        mRender->beginFrame();
        for (size_t i = 0; i < mSprites.size(); ++i) {
            QV::RenderData* sprite = mSprites[i].get();
            const float x = static_cast<float>((i * 37) % 1248) + shift;
            const float y = static_cast<float>((i * 53) % 688);
            const float xs[4] = {x, x + 32, x + 32, x};
            const float ys[4] = {y, y, y + 32, y + 32};
            uint8_t* bytes = sprite->vertexData();
            for (int k = 0; k < 4; ++k) {
                const float xyz[3] = {xs[k], ys[k], 0.0f};
                std::memcpy(bytes + k * stride + position, xyz, sizeof(xyz));
            }
            mRender->draw(sprite);
        }
        mRender->endFrame();
        mRender->present();
    }

    uint32_t drawCalls() const { return mLastDrawCalls; }

    // Waits until every queued frame is on the back buffer.
    void finish() {
        std::vector<uint8_t> pixels;
        uint32_t w = 0, h = 0;
        mRender->getDevice()->readBack(&pixels, &w, &h);
    }

private:
    // 8 x 8 cells of 32 x 32, each its own colour at alpha 0.75.
    void makeAtlas() {
        mAtlas = mTextures->createEmptyTexture(256, 256, QV::TF_A8R8G8B8);
        mAtlas->incRefCount();
        mTextures->update();
        std::vector<uint8_t> pixels(256 * 256 * 4);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const int cell = x / 32 + (y / 32) * 8;
                uint8_t* p = &pixels[(y * 256 + x) * 4];
                p[0] = static_cast<uint8_t>((cell % 3) * 255 / 2);
                p[1] = static_cast<uint8_t>((cell % 5) * 255 / 4);
                p[2] = static_cast<uint8_t>((cell % 7) * 255 / 6);
                p[3] = 191;
            }
        }
        mAtlas->updatePixels(pixels.data(), 2, 256, 256);
    }

    std::string mDir;
    std::string mPrevious;
    std::unique_ptr<QV::LogSystem> mLog;
    std::unique_ptr<QV::FileSystem> mFiles;
    std::unique_ptr<QV::ConfigManager> mConfig;
    std::unique_ptr<QV::EngineNotificationDispatcher> mDispatcher;
    std::unique_ptr<QV::VideoSurfaceStreamer> mStreamer;
    std::unique_ptr<QV::Platform::Window> mWindow;
    ApplicationWindow mRecord;
    std::unique_ptr<QV::RenderSystem> mRender;
    std::unique_ptr<QV::TextureManager> mTextures;
    QV::Texture* mAtlas = nullptr;
    std::vector<std::unique_ptr<QV::RenderData>> mSprites;
    uint32_t mLastDrawCalls = 0;
};

SpriteScene* scene() {
    static SpriteScene* s = new SpriteScene();
    return s;
}

constexpr double kSeconds = 3.0;

// Processor time of the whole process (rasterizer threads included).
double processSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void BM_EngineSprites(benchmark::State& state) {
    SpriteScene* s = scene();
    if (!s->ready()) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    const int count = static_cast<int>(state.range(0));
    s->setSpriteCount(count);
    int frame = 0;
    for (int i = 0; i < 10; ++i) s->frame(frame++);  // warm up, as the LOVE script does
    s->finish();
    using Clock = std::chrono::steady_clock;
    double fps = 0.0, cpuPerFrame = 0.0;
    for (auto _ : state) {
        const double cpuStart = processSeconds();
        const Clock::time_point start = Clock::now();
        int frames = 0;
        do {
            s->frame(frame++);
            ++frames;
        } while (std::chrono::duration<double>(Clock::now() - start).count() < kSeconds);
        s->finish();
        fps = frames / std::chrono::duration<double>(Clock::now() - start).count();
        cpuPerFrame = (processSeconds() - cpuStart) * 1000.0 / frames;
    }
    state.counters["fps"] = fps;
    // Less sensitive to other load on the machine than the frame rate.
    state.counters["cpu_ms_per_frame"] = cpuPerFrame;
    state.counters["sprites"] = count;
}

// The same workload in LOVE 11.4, run as its own process.
void BM_LoveSpriteBatch(benchmark::State& state) {
    const std::string script = std::filesystem::path(__FILE__).parent_path() / "sprite_batching_love";
    if (std::system("command -v love > /dev/null 2>&1") != 0) {
        state.SkipWithError("love is not installed (Debian package love)");
        return;
    }
    double fps = 0.0;
    for (auto _ : state) {
        const std::string command = "love '" + script + "' " + std::to_string(state.range(0)) + " " +
                                    std::to_string(static_cast<int>(kSeconds)) + " 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) break;
        char line[256];
        while (std::fgets(line, sizeof(line), pipe)) std::sscanf(line, "fps %lf", &fps);
        pclose(pipe);
    }
    if (fps <= 0.0) {
        state.SkipWithError("love printed no frame rate");
        return;
    }
    state.counters["fps"] = fps;
    state.counters["sprites"] = static_cast<double>(state.range(0));
}
// Interleaved, so each pair meets the machine in about the same state.
BENCHMARK(BM_EngineSprites)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoveSpriteBatch)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EngineSprites)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoveSpriteBatch)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
