#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "image_encode.h"
#include "image_png.h"
#include "platform/gfx/recording_driver.h"
#include "render_system.h"
#include "support/render_fixture.h"
#include "texture.h"
#include "texture_manager.h"

namespace {

namespace Gfx = QV::Gfx;

// The renderer and the manager as the frame makes them: the manager finds the
// render system's device and the render system reaches the manager through its hooks.
class TextureFrame : public testing::Test {
protected:
    void SetUp() override {
        Gfx::useRecordingDriver();
        engine = std::make_unique<qvtest::RenderEngine>();
        render = engine->createRenderSystem();
        ASSERT_TRUE(render->createDevice(nullptr));
        device = Gfx::lastRecordingDriver()->lastDevice();
        // The render fixture may bring its own manager.
        if (!QV::TextureManager::instancePointer()) ownManager = std::make_unique<QV::TextureManager>();
        manager = QV::TextureManager::instancePointer();
    }
    void TearDown() override {
        ownManager.reset();
        engine.reset();
        Gfx::setDriverFactory(nullptr);
    }
    QV::Texture* pngTexture(const std::string& name) {
        const std::string file = QV::encodePng(QV::makeTestPattern(8, 8), 8, 8);
        QV::MemoryImageSource source(file.data(), file.size());
        QV::PngImage* image = new QV::PngImage();
        EXPECT_TRUE(image->decode(source, nullptr));
        return manager->createTextureFromImage(image, "default", name);
    }
    // Draw calls and the stage-0 bindings of one frame that draws the record.
    struct FrameCalls {
        int draws = 0;
        std::vector<uint64_t> boundTextures;
    };
    FrameCalls frame(const QV::RenderData* record) {
        device->clearCalls();
        render->beginFrame();
        render->draw(record);
        render->endFrame();
        FrameCalls out;
        for (const Gfx::RecordedCall& call : device->calls()) {
            if (call.name == "drawIndexedPrimitive") ++out.draws;
            if (call.name == "setTexture" && call.args.size() >= 2 && call.args[0] == 0 && call.args[1])
                out.boundTextures.push_back(call.args[1]);
        }
        return out;
    }

    std::unique_ptr<qvtest::RenderEngine> engine;
    QV::RenderSystem* render = nullptr;
    Gfx::RecordingDevice* device = nullptr;
    std::unique_ptr<QV::TextureManager> ownManager;
    QV::TextureManager* manager = nullptr;
};

TEST_F(TextureFrame, ATextureShowsFromTheFrameAfterItsRequest) {
    QV::Texture* texture = pngTexture("quad_image");
    std::unique_ptr<QV::RenderData> quad(qvtest::makeQuad(0, 0, 8, 8, 0xFFFFFFFF));
    quad->addTexture(texture);
    EXPECT_EQ(texture->getRefCount(), 1);

    const FrameCalls first = frame(quad.get());
    EXPECT_TRUE(texture->isUploaded());  // uploaded at the end of the frame
    const FrameCalls second = frame(quad.get());
    // The first frame skipped the quad; the second one draws it with its texture.
    EXPECT_EQ(second.draws, first.draws + 1);
    const uint64_t handle = reinterpret_cast<uintptr_t>(texture->getHandle());
    EXPECT_EQ(std::count(first.boundTextures.begin(), first.boundTextures.end(), handle), 0);
    EXPECT_GE(std::count(second.boundTextures.begin(), second.boundTextures.end(), handle), 1);

    // The record's release sends it to the destroy queue, emptied by the next frame's end.
    quad.reset();
    EXPECT_EQ(manager->destroyQueueSize(), 1u);
    std::unique_ptr<QV::RenderData> empty(qvtest::makeQuad(0, 0, 8, 8, 0xFFFFFFFF));
    frame(empty.get());
    EXPECT_EQ(manager->destroyQueueSize(), 0u);
    EXPECT_TRUE(device->errors().empty()) << device->errors().front();
}

TEST_F(TextureFrame, DeviceResetRebuildsRenderTexturesOnly) {
    QV::Texture* ordinary = pngTexture("kept_image");
    QV::Texture* target = manager->createRenderTexture();
    std::unique_ptr<QV::RenderData> quad(qvtest::makeQuad(0, 0, 8, 8, 0xFFFFFFFF));
    frame(quad.get());
    Gfx::ITexture* ordinaryHandle = ordinary->getHandle();
    Gfx::ITexture* oldTarget = target->getHandle();
    ASSERT_NE(ordinaryHandle, nullptr);
    ASSERT_NE(oldTarget, nullptr);
    EXPECT_EQ(target->getWidth(), 64u);  // the workspace of the render fixture
    EXPECT_EQ(target->getHeight(), 32u);

    auto linesStarting = [&](const std::string& prefix) {
        int n = 0;
        for (const std::string& line : engine->log().lines) n += line.rfind(prefix, 0) == 0;
        return n;
    };
    const int resetsBefore = linesStarting("Texture::reset() mTextureUsage 1");
    render->reset();
    // The render texture lost its device texture before the reset and got a new one after.
    EXPECT_GT(linesStarting("Texture::reset() mTextureUsage 1"), resetsBefore);
    char oldHandle[32];
    std::snprintf(oldHandle, sizeof oldHandle, "mHandle %p", static_cast<void*>(oldTarget));
    int destroyedOld = 0;
    for (const std::string& line : engine->log().lines) {
        destroyedOld += line.rfind("Texture::destroy() mTextureUsage 1", 0) == 0 &&
                        line.find(oldHandle) != std::string::npos;
    }
    EXPECT_EQ(destroyedOld, 1);
    EXPECT_NE(target->getHandle(), nullptr);
    EXPECT_EQ(target->getWidth(), 64u);
    EXPECT_EQ(ordinary->getHandle(), ordinaryHandle);
    EXPECT_TRUE(device->errors().empty()) << device->errors().front();
}

}  // namespace
