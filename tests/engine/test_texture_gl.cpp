#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "image_dds.h"
#include "image_encode.h"
#include "image_jpeg.h"
#include "image_png.h"
#include "image_qvt.h"
#include "platform/gfx/gfx_device.h"
#include "platform/window.h"
#include "render_system.h"
#include "support/gl_required.h"
#include "support/render_fixture.h"
#include "support/render_host.h"
#include "texture.h"
#include "texture_manager.h"

namespace {

using Bytes = std::vector<uint8_t>;

// 8 x 8, one opaque colour per 4 x 4 quadrant: red, green / blue, white.
Bytes quadrants() {
    Bytes rgba(8 * 8 * 4);
    const uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const uint8_t* c = colours[(y / 4) * 2 + x / 4];
            uint8_t* p = &rgba[(y * 8 + x) * 4];
            p[0] = c[0]; p[1] = c[1]; p[2] = c[2]; p[3] = 255;
        }
    }
    return rgba;
}

// Textures of every kind drawn by the engine's renderer on a real OpenGL
// window, checked by reading the pixels back.
class TextureGL : public testing::Test {
protected:
    bool open() {
        QV::Gfx::setDriverFactory(nullptr);
        qvtest::keepDriverLoaded();
        engine = std::make_unique<qvtest::RenderEngine>(settings);
        QV::Platform::WindowDesc desc;
        desc.title = "texture test";
        desc.width = settings.windowWidth;
        desc.height = settings.windowHeight;
        desc.hidden = std::getenv("QV_SHOW_WINDOWS") == nullptr;
        window.reset(QV::Platform::Window::create(desc));
        if (!window) return false;
        engine->window().windowHandle = window->nativeHandle();
        render = engine->createRenderSystem();
        render->createDevice(window->nativeHandle());
        if (!render->getDevice()) return false;
        if (!QV::TextureManager::instancePointer()) ownManager = std::make_unique<QV::TextureManager>();
        manager = QV::TextureManager::instancePointer();
        return true;
    }
    void TearDown() override {
        quads.clear();
        ownManager.reset();
        engine.reset();
        window.reset();
    }
    void drawTextured(QV::Texture* texture, float x) {
        quads.emplace_back(qvtest::makeQuad(x, 0, 16, 16, 0xFFFFFFFF));
        quads.back()->addTexture(texture);
    }
    void expectQuadrants(int x0, int tolerance) {
        const int want[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        for (int q = 0; q < 4; ++q) {
            const int x = x0 + (q % 2) * 8 + 4, y = (q / 2) * 8 + 4;
            const uint8_t* p = pixels.data() + (static_cast<size_t>(y) * width + x) * 4;
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(p[2 - c], want[q][c], tolerance) << "quad at " << x0 << " quadrant " << q;
            }
        }
    }

    qvtest::RenderSettings settings;  // 64 x 32
    std::unique_ptr<qvtest::RenderEngine> engine;
    std::unique_ptr<QV::Platform::Window> window;
    QV::RenderSystem* render = nullptr;
    std::unique_ptr<QV::TextureManager> ownManager;
    QV::TextureManager* manager = nullptr;
    std::vector<std::unique_ptr<QV::RenderData>> quads;
    Bytes pixels;
    uint32_t width = 0, height = 0;
};

TEST_F(TextureGL, EveryImageKindDrawsItsPixels) {
    if (!open()) QV_GL_UNAVAILABLE() << "no OpenGL window here: " << QV::Platform::Window::lastError();
    const Bytes rgba = quadrants();
    const std::string png = QV::encodePng(rgba, 8, 8);
    const std::string dds = QV::encodeDdsDxt5(rgba, 8, 8);
    const std::string qvt = QV::encodeQvt2(rgba, 8, 8);
    const QV::JpegPair jpeg = QV::encodeJpegPair(rgba, 8, 8, 100);

    QV::PngImage* pngImage = new QV::PngImage();
    QV::MemoryImageSource pngSource(png.data(), png.size());
    ASSERT_TRUE(pngImage->decode(pngSource, nullptr));
    QV::DDSImage* ddsImage = new QV::DDSImage();
    QV::MemoryImageSource ddsSource(dds.data(), dds.size());
    ASSERT_EQ(ddsImage->decode(ddsSource), QV::DDSImage::kDecoded);
    QV::QVTImage* qvtImage = new QV::QVTImage();
    QV::MemoryImageSource qvtSource(qvt.data(), qvt.size());
    ASSERT_EQ(qvtImage->decode(qvtSource), QV::QVTImage::kDecoded);
    QV::JpegImage* jpegImage = new QV::JpegImage();
    QV::MemoryImageSource colour(jpeg.colour.data(), jpeg.colour.size());
    QV::MemoryImageSource alpha(jpeg.alpha.data(), jpeg.alpha.size());
    ASSERT_TRUE(jpegImage->decode(colour, alpha, nullptr));

    drawTextured(manager->createTextureFromImage(pngImage, "default", "gl_png"), 0);
    drawTextured(manager->createTextureFromImage(ddsImage, "default", "gl_dds"), 16);
    drawTextured(manager->createTextureFromImage(qvtImage, "default", "gl_qvt"), 32);
    drawTextured(manager->createTextureFromImage(jpegImage, "default", "gl_jpeg"), 48);

    // The frame of the request uploads; the next one shows them.
    render->beginFrame();
    for (const auto& q : quads) render->draw(q.get());
    render->endFrame();
    render->getDevice()->readBack(&pixels, &width, &height);
    ASSERT_EQ(width, 64u);
    EXPECT_EQ(pixels[(4 * width + 4) * 4 + 2], 0);  // not drawn yet: black

    render->beginFrame();
    for (const auto& q : quads) render->draw(q.get());
    render->endFrame();
    render->getDevice()->readBack(&pixels, &width, &height);
    expectQuadrants(0, 2);
    expectQuadrants(16, 2);
    expectQuadrants(32, 2);
    expectQuadrants(48, 24);  // JPEG blurs the edges between quadrants
}

}  // namespace
