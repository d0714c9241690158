#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "image_dds.h"
#include "image_encode.h"
#include "image_jpeg.h"
#include "image_png.h"
#include "image_qvt.h"
#include "platform/gfx/recording_driver.h"
#include "render_data.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"
#include "texture.h"
#include "texture_device.h"
#include "texture_manager.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace Gfx = QV::Gfx;

// RGBA in, the BGRA rows the device should hold.
Bytes toBgra(const Bytes& rgba) {
    Bytes out = rgba;
    for (size_t i = 0; i < out.size(); i += 4) std::swap(out[i], out[i + 2]);
    return out;
}

Bytes palette256() {
    Bytes palette(1024);
    for (int i = 0; i < 1024; ++i) palette[i] = static_cast<uint8_t>(i * 5 + 1);
    return palette;
}

// The generated name a texture got ("emptytexture%i", "rendertexture%i"): the
// counters are process-wide, so tests compare numbers relative to each other.
int generatedNumber(QV::TextureManager& manager, QV::Texture* texture, const std::string& prefix) {
    for (int i = 0; i < 10000; ++i) {
        if (manager.findTexture("default", prefix + std::to_string(i)) == texture) return i;
    }
    return -1;
}

// Content, a recording device and the manager, as the frame would have them.
struct TextureWorld {
    explicit TextureWorld(const Gfx::FaultPlan& plan = Gfx::FaultPlan(),
                          const qvtest::PackageLists& extra = {}) {
        qvtest::PackageLists lists = {
            {"default",
             {{"rgba_image", "/img/rgba.png"},
              {"grey_image", "/img/grey.png"},
              {"sky_image", "/img/sky.jpg"},
              {"sky_a_image", "/img/sky_a.jpg"},
              {"blocks_image", "/img/blocks.dds"},
              {"tiles_image", "/img/tiles.qvt"},
              {"indexed_image", "/img/indexed.qvt"},
              {"bogus_image", "/img/bogus.bin"},
              {"gone_image", "/img/gone.png"},
              {"lonely_image", "/img/lonely.jpg"}}},
        };
        for (const auto& p : extra) {
            for (const auto& e : p.second) lists[p.first][e.first] = e.second;
        }
        const std::string media = dir.file("media");
        qvtest::writeMedia(media, lists, qvtest::configLua("en", 320, 200));
        QV::PngEncodeOptions grey;
        grey.layout = QV::PngLayout::GreyAlpha;
        qvtest::writeFile(media + "/img/rgba.png", QV::encodePng(pattern, 16, 8));
        qvtest::writeFile(media + "/img/grey.png", QV::encodePng(greyPattern(), 16, 8, grey));
        QV::JpegPair pair = QV::encodeJpegPair(flat, 16, 8, 100);
        qvtest::writeFile(media + "/img/sky.jpg", pair.colour);
        qvtest::writeFile(media + "/img/sky_a.jpg", pair.alpha);
        qvtest::writeFile(media + "/img/lonely.jpg", pair.colour);
        dds = QV::encodeDdsDxt5(pattern, 16, 8);
        qvtest::writeFile(media + "/img/blocks.dds", dds);
        qvtest::writeFile(media + "/img/tiles.qvt", QV::encodeQvt2(pattern, 16, 8));
        indices.resize(16 * 8);
        for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i * 3);
        qvtest::writeFile(media + "/img/indexed.qvt", QV::encodeQvt3(palette256(), indices, 16, 8));
        qvtest::writeFile(media + "/img/bogus.bin", "neither of the four kinds");
        qvtest::writeFile(media + "/img/gone.png", QV::encodePng(pattern, 16, 8));

        engine.reset(new qvtest::MediaEngine(dir.path()));
        driver = new Gfx::RecordingDriver(plan);
        Gfx::PresentParameters params;
        params.backBufferWidth = 640;
        params.backBufferHeight = 480;
        params.backBufferFormat = Gfx::FMT_X8R8G8B8;
        params.backBufferCount = 1;
        params.windowed = true;
        driver->createDevice(0, Gfx::DEVTYPE_HAL, nullptr, Gfx::CREATE_HARDWARE_VERTEXPROCESSING,
                             &params, &device);
        QV::setTextureDevice(device);
        manager.reset(new QV::TextureManager());
    }
    ~TextureWorld() {
        manager.reset();
        QV::setTextureDevice(nullptr);
        Gfx::safeRelease(device);
        driver->release();
    }
    static Bytes greyPattern() {
        Bytes g = QV::makeTestPattern(16, 8);
        for (size_t i = 0; i < g.size(); i += 4) g[i + 1] = g[i + 2] = g[i];
        return g;
    }
    static Bytes flatPattern() {
        Bytes f(16 * 8 * 4);
        for (size_t i = 0; i < f.size(); i += 4) {
            f[i] = 250; f[i + 1] = 120; f[i + 2] = 10; f[i + 3] = 200;
        }
        return f;
    }
    const Bytes* deviceBytes(QV::Texture* t) { return Gfx::recordedBytes(t->getHandle(), 0); }
    std::vector<std::string> deviceErrors() { return driver->log()->errors; }

    qvtest::TempDir dir;
    Bytes pattern = QV::makeTestPattern(16, 8);
    Bytes flat = flatPattern();
    Bytes indices;
    std::string dds;
    std::unique_ptr<qvtest::MediaEngine> engine;
    Gfx::RecordingDriver* driver = nullptr;
    Gfx::IDevice* device = nullptr;
    std::unique_ptr<QV::TextureManager> manager;
};

TEST(Texture, EveryKindIsFoundByContentAndUploaded) {
    TextureWorld world;
    Bytes indexed;
    const Bytes palette = palette256();
    for (uint8_t i : world.indices) indexed.insert(indexed.end(), &palette[i * 4], &palette[i * 4] + 4);
    struct Case {
        const char* name;
        uint32_t deviceFormat;
        Bytes expected;  // empty: compared loosely below
    } cases[] = {
        {"rgba_image", Gfx::FMT_A8R8G8B8, toBgra(world.pattern)},
        {"grey_image", Gfx::FMT_A8R8G8B8, toBgra(TextureWorld::greyPattern())},
        {"tiles_image", Gfx::FMT_A8R8G8B8, toBgra(world.pattern)},
        {"indexed_image", Gfx::FMT_A8R8G8B8, toBgra(indexed)},
        {"blocks_image", Gfx::FMT_DXT5, Bytes(world.dds.begin() + 128, world.dds.end())},
        {"sky_image", Gfx::FMT_A8R8G8B8, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QV::Texture* t = world.manager->getTexture(c.name, "default");
        ASSERT_NE(t, nullptr);
        EXPECT_FALSE(t->isUploaded());
        EXPECT_EQ(t->getWidth(), 16u);
        EXPECT_EQ(t->getHeight(), 8u);
        world.manager->update();
        ASSERT_TRUE(t->isUploaded());
        EXPECT_EQ(t->getImage(), nullptr);  // freed right after the upload
        Gfx::SurfaceDesc desc;
        ASSERT_EQ(t->getHandle()->getLevelDesc(0, &desc), Gfx::OK);
        EXPECT_EQ(desc.format, c.deviceFormat);
        EXPECT_EQ(desc.pool, Gfx::POOL_MANAGED);
        const Bytes* bytes = world.deviceBytes(t);
        ASSERT_NE(bytes, nullptr);
        if (!c.expected.empty()) {
            EXPECT_EQ(*bytes, c.expected);
        } else {
            const Bytes want = toBgra(world.flat);
            ASSERT_EQ(bytes->size(), want.size());
            for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR((*bytes)[i], want[i], 4) << i;
        }
    }
    EXPECT_EQ(world.manager->uploadQueueSize(), 0u);
    EXPECT_TRUE(world.deviceErrors().empty());
}

TEST(TextureManager, OneDecodePerNameUntilReleasedToZero) {
    TextureWorld world;
    QV::Texture* first = world.manager->getTexture("gone_image", "default");
    const uint32_t bytes = 16 * 8 * 4;
    EXPECT_EQ(world.manager->getTotalBytes(), bytes);
    // The file is gone now: a second decode would stop the process.
    std::remove(world.dir.file("media/img/gone.png").c_str());
    EXPECT_EQ(world.manager->getTexture("gone_image", "default"), first);
    EXPECT_EQ(world.manager->findTexture("default", "gone_image"), first);
    EXPECT_EQ(world.manager->uploadQueueSize(), 1u);
    EXPECT_EQ(world.manager->getTotalBytes(), bytes);

    // Kept twice, released once: still there.
    first->incRefCount();
    first->incRefCount();
    world.manager->releaseTexture(first);
    EXPECT_EQ(world.manager->findTexture("default", "gone_image"), first);

    // Released to 0 before its upload: unqueued, unlinked, destroyed next update.
    world.manager->releaseTexture(first);
    EXPECT_EQ(world.manager->findTexture("default", "gone_image"), nullptr);
    EXPECT_EQ(world.manager->uploadQueueSize(), 0u);
    EXPECT_EQ(world.manager->destroyQueueSize(), 1u);
    EXPECT_EQ(world.manager->getTotalBytes(), 0u);
    EXPECT_EQ(world.manager->getPeakBytes(), bytes);
    world.manager->releaseTexture(first);  // no longer in the tables: nothing happens
    world.manager->releaseTexture(nullptr);
    EXPECT_EQ(world.manager->destroyQueueSize(), 1u);

    // Requested again in the same frame: decoded anew while the old one waits.
    QV::Texture* again = world.manager->getTexture("rgba_image", "default");
    QV::Texture* twin = world.manager->getTexture("rgba_image", "default");
    EXPECT_EQ(again, twin);
    world.manager->update();
    EXPECT_EQ(world.manager->destroyQueueSize(), 0u);
    EXPECT_TRUE(again->isUploaded());
    again->incRefCount();
    world.manager->releaseTexture(again);
    QV::Texture* fresh = world.manager->getTexture("rgba_image", "default");
    EXPECT_FALSE(fresh->isUploaded());  // a new record, visible after the next update
    world.manager->update();
    EXPECT_TRUE(fresh->isUploaded());
    EXPECT_EQ(world.manager->textureCount(), 1u);
}

TEST(TextureManager, DrawRecordsHoldReferences) {
    TextureWorld world;
    QV::Texture* t = world.manager->getTexture("rgba_image", "default");
    {
        QV::RenderData a;
        a.addTexture(t);
        QV::RenderData b(a);
        EXPECT_EQ(t->getRefCount(), 2);
    }
    // Both records gave their reference back: the texture went to the destroy queue.
    EXPECT_EQ(world.manager->findTexture("default", "rgba_image"), nullptr);
    EXPECT_EQ(world.manager->destroyQueueSize(), 1u);
    world.manager->update();
    EXPECT_EQ(world.manager->destroyQueueSize(), 0u);
}

TEST(TextureManager, MemoryAccounting) {
    TextureWorld world;
    QV::Texture* luminance = world.manager->createEmptyTexture(256, 128, QV::TF_L8);
    EXPECT_EQ(world.manager->getTotalBytes(), 131072u);  // 4 bytes a pixel whatever the format
    const int number = generatedNumber(*world.manager, luminance, "emptytexture");
    ASSERT_GE(number, 0);
    QV::Texture* png = world.manager->getTexture("rgba_image", "default");
    EXPECT_EQ(world.manager->getTotalBytes(), 131072u + 512u);
    world.manager->update();
    ASSERT_TRUE(luminance->isUploaded());
    Gfx::SurfaceDesc desc;
    luminance->getHandle()->getLevelDesc(0, &desc);
    EXPECT_EQ(desc.format, Gfx::FMT_L8);
    EXPECT_EQ(world.deviceBytes(luminance)->size(), 256u * 128u);  // the device holds one byte a pixel
    world.manager->releaseTexture(luminance);
    EXPECT_EQ(world.manager->getTotalBytes(), 512u);
    EXPECT_EQ(world.manager->getPeakBytes(), 131072u + 512u);
    world.manager->destroyTexture(png);  // whatever its count
    EXPECT_EQ(world.manager->getTotalBytes(), 0u);
    EXPECT_EQ(world.manager->textureCount(), 0u);
    QV::Texture* next = world.manager->createEmptyTexture(4, 4, QV::TF_A8L8);
    EXPECT_EQ(generatedNumber(*world.manager, next, "emptytexture"), number + 1);
}

TEST(TextureManager, TwoThreadsAskingAtOnceGetOneTexture) {
    TextureWorld world;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        const char* name = round % 2 ? "tiles_image" : "rgba_image";
        std::atomic<int> ready{0};
        QV::Texture* got[4] = {};
        std::vector<std::thread> threads;
        for (int i = 0; i < 4; ++i) {
            threads.emplace_back([&, i] {
                ++ready;
                while (ready.load() < 4) {
                }
                got[i] = world.manager->getTexture(name, "default");
            });
        }
        for (auto& t : threads) t.join();
        for (int i = 1; i < 4; ++i) EXPECT_EQ(got[i], got[0]);
        EXPECT_EQ(world.manager->textureCount(), 1u);
        EXPECT_EQ(world.manager->uploadQueueSize(), 1u);
        EXPECT_EQ(world.manager->getTotalBytes(), 512u);
        world.manager->update();
        EXPECT_TRUE(got[0]->isUploaded());
        world.manager->releaseTexture(got[0]);
        world.manager->update();
    }
    EXPECT_TRUE(world.deviceErrors().empty());
}

TEST(TextureManager, LoadingThreadsAndTheFrameRunTogether) {
    TextureWorld world;
    const char* names[] = {"rgba_image", "grey_image", "tiles_image", "indexed_image"};
    std::atomic<int> running{4};
    std::vector<std::thread> loaders;
    for (const char* name : names) {
        loaders.emplace_back([&world, &running, name] {
            for (int i = 0; i < 40; ++i) {
                QV::Texture* t = world.manager->getTexture(name, "default");
                t->incRefCount();
                EXPECT_EQ(world.manager->getTexture(name, "default"), t);
                world.manager->releaseTexture(t);
            }
            --running;
        });
    }
    // The main thread keeps ending frames meanwhile.
    while (running.load() > 0) world.manager->update();
    for (auto& t : loaders) t.join();
    world.manager->update();
    EXPECT_EQ(world.manager->textureCount(), 0u);
    EXPECT_EQ(world.manager->uploadQueueSize(), 0u);
    EXPECT_EQ(world.manager->destroyQueueSize(), 0u);
    EXPECT_EQ(world.manager->getTotalBytes(), 0u);
    EXPECT_GE(world.manager->getPeakBytes(), 512u);
    EXPECT_LE(world.manager->getPeakBytes(), 4u * 512u) << "at most one texture per name at a time";
    // Device calls came from the main thread only.
    EXPECT_TRUE(world.deviceErrors().empty()) << world.deviceErrors().front();
}

TEST(TextureManager, RefusedUploadDoesNotHoldUpTheQueue) {
    Gfx::FaultPlan plan;
    plan.failCreate["texture"] = 1;
    TextureWorld world(plan);
    QV::Texture* refused = world.manager->getTexture("rgba_image", "default");
    QV::Texture* next = world.manager->getTexture("tiles_image", "default");
    world.manager->update();
    EXPECT_FALSE(refused->isUploaded());
    EXPECT_TRUE(next->isUploaded());
    EXPECT_EQ(world.manager->uploadQueueSize(), 0u);
    // Still owned and releasable.
    EXPECT_EQ(world.manager->findTexture("default", "rgba_image"), refused);
    world.manager->releaseTexture(refused);
    world.manager->update();
    EXPECT_EQ(world.manager->textureCount(), 1u);
}

TEST(TextureManager, TexturesWaitForADevice) {
    TextureWorld world;
    QV::Texture* t = world.manager->getTexture("rgba_image", "default");
    QV::setTextureDevice(nullptr);
    world.manager->update();
    EXPECT_FALSE(t->isUploaded());
    EXPECT_EQ(world.manager->uploadQueueSize(), 1u);
    QV::setTextureDevice(world.device);
    world.manager->update();
    EXPECT_TRUE(t->isUploaded());
    EXPECT_EQ(world.manager->uploadQueueSize(), 0u);
}

TEST(TextureManager, RenderTexturesAreRebuiltAfterADeviceReset) {
    TextureWorld world;
    QV::Texture* ordinary = world.manager->getTexture("rgba_image", "default");
    world.manager->update();
    Gfx::ITexture* ordinaryHandle = ordinary->getHandle();

    QV::Texture* target = world.manager->createRenderTexture();
    const int number = generatedNumber(*world.manager, target, "rendertexture");
    ASSERT_GE(number, 0);
    EXPECT_TRUE(target->isUploaded());
    // The workspace (320 x 200) limits the viewport (640 x 480).
    EXPECT_EQ(target->getWidth(), 320u);
    EXPECT_EQ(target->getHeight(), 200u);
    EXPECT_EQ(world.manager->getTotalBytes(), 512u + 320u * 200u * 4u);
    Gfx::SurfaceDesc desc;
    ASSERT_NE(target->getHandle(), nullptr);
    target->getHandle()->getLevelDesc(0, &desc);
    EXPECT_EQ(desc.format, Gfx::FMT_X8R8G8B8);  // the back buffer's
    EXPECT_EQ(desc.usage, Gfx::USAGE_RENDERTARGET);
    EXPECT_EQ(desc.pool, Gfx::POOL_DEFAULT);
    world.manager->update();  // already uploaded: just leaves the queue
    EXPECT_EQ(world.manager->uploadQueueSize(), 0u);

    world.manager->releaseDeviceTextures();
    EXPECT_EQ(target->getHandle(), nullptr);
    EXPECT_EQ(ordinary->getHandle(), ordinaryHandle);
    world.manager->resetDeviceTextures();
    ASSERT_NE(target->getHandle(), nullptr);
    EXPECT_EQ(target->getWidth(), 320u);
    EXPECT_EQ(generatedNumber(*world.manager, target, "rendertexture"), number);
    EXPECT_EQ(ordinary->getHandle(), ordinaryHandle);
    QV::Texture* second = world.manager->createRenderTexture();
    EXPECT_EQ(generatedNumber(*world.manager, second, "rendertexture"), number + 1);
    EXPECT_TRUE(world.deviceErrors().empty());
}

TEST(Texture, UpdatePixelsByKind) {
    TextureWorld world;
    QV::Texture* l8 = world.manager->createEmptyTexture(8, 4, QV::TF_L8);
    QV::Texture* a8l8 = world.manager->createEmptyTexture(8, 4, QV::TF_A8L8);
    QV::Texture* argb = world.manager->createEmptyTexture(8, 4, QV::TF_A8R8G8B8);
    EXPECT_EQ(l8->updatePixels(Bytes(32).data(), QV::TPK_L8, 8, 4), 1);  // not on the device yet
    world.manager->update();

    Bytes grey(32), pairs(64);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i);
    for (size_t i = 0; i < pairs.size(); ++i) pairs[i] = static_cast<uint8_t>(100 + i);
    EXPECT_EQ(l8->updatePixels(grey.data(), QV::TPK_L8, 8, 4), 0);
    EXPECT_EQ(*world.deviceBytes(l8), grey);
    EXPECT_EQ(a8l8->updatePixels(pairs.data(), QV::TPK_A8L8, 8, 4), 0);
    EXPECT_EQ(*world.deviceBytes(a8l8), pairs);

    // A 10 x 5 frame into an 8 x 4 texture: the region is clipped, rows keep their width.
    const Bytes frame = QV::makeTestPattern(10, 5);
    EXPECT_EQ(argb->updatePixels(frame.data(), 2, 10, 5), 0);
    const Bytes* got = world.deviceBytes(argb);
    for (uint32_t y = 0; y < 4; ++y) {
        Bytes row(frame.begin() + y * 40, frame.begin() + y * 40 + 32);
        EXPECT_EQ(Bytes(got->begin() + y * 32, got->begin() + y * 32 + 32), toBgra(row)) << y;
    }
    // A smaller frame only touches its region.
    const Bytes small(2 * 2, 77);
    EXPECT_EQ(l8->updatePixels(small.data(), QV::TPK_L8, 2, 2), 0);
    EXPECT_EQ((*world.deviceBytes(l8))[0], 77);
    EXPECT_EQ((*world.deviceBytes(l8))[2], 2);
    EXPECT_EQ((*world.deviceBytes(l8))[9], 77);
    EXPECT_TRUE(world.deviceErrors().empty());
}

TEST(Texture, UpdatePixelsReportsALockFailure) {
    Gfx::FaultPlan plan;
    TextureWorld world(plan);
    QV::Texture* t = world.manager->createEmptyTexture(4, 4, QV::TF_L8);
    world.manager->update();
    world.driver->log()->plan.failLock["texture"] = 1;
    EXPECT_EQ(t->updatePixels(Bytes(16).data(), QV::TPK_L8, 4, 4), 1);
    EXPECT_EQ(t->updatePixels(Bytes(16).data(), QV::TPK_L8, 4, 4), 0);
}

// ---------------------------------------------------------------- fatal paths

class TextureDeathTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(TextureDeathTest, MissingFilesAndUnknownKindsStop) {
    struct Case {
        const char* name;
        const char* message;
    } cases[] = {
        {"nowhere_image", "ERROR: file 'nowhere_image' not found in package 'default'"},
        {"bogus_image", "Failed to load image"},
        {"lonely_image", "ERROR: file 'lonely_a_image' not found in package 'default'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(
            {
                TextureWorld world;
                world.manager->getTexture(c.name, "default");
            },
            testing::ExitedWithCode(255), c.message);
    }
}

TEST_F(TextureDeathTest, DeviceFailuresThatCannotBeRecovered) {
    EXPECT_EXIT(
        {
            Gfx::FaultPlan plan;
            plan.failLock["texture"] = 1;
            TextureWorld world(plan);
            world.manager->getTexture("rgba_image", "default");
            world.manager->update();
        },
        testing::ExitedWithCode(255), "Failed to lock dx8 teture");
    EXPECT_EXIT(
        {
            TextureWorld world;
            world.manager->createEmptyTexture(4, 4, 9);
            world.manager->update();
        },
        testing::ExitedWithCode(255), "Unknow texture format");
}

}  // namespace
