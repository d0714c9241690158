#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/gfx_device.h"
#include "platform/window.h"
#include "render_system.h"
#include "support/gl_required.h"
#include "support/render_fixture.h"
#include "support/render_host.h"
#include "texture.h"
#include "texture_manager.h"
#include "vertex_format.h"
#include "window_fit.h"

namespace {

using Quad = std::unique_ptr<QV::RenderData>;

struct Pixel {
    int r, g, b;
};

class RenderGL : public testing::Test {
protected:
    // A real window of the given size with the engine's renderer on it,
    // hidden unless asked to show (QV_SHOW_WINDOWS=1 shows every one).
    bool open(const qvtest::RenderSettings& settings, bool shown = false) {
        QV::Gfx::setDriverFactory(nullptr);
        qvtest::keepDriverLoaded();
        engine = std::make_unique<qvtest::RenderEngine>(settings);
        QV::Platform::WindowDesc desc;
        desc.title = "render test";
        desc.width = settings.windowWidth;
        desc.height = settings.windowHeight;
        desc.hidden = !shown && std::getenv("QV_SHOW_WINDOWS") == nullptr;
        window.reset(QV::Platform::Window::create(desc));
        if (!window) return false;
        engine->window().windowHandle = window->nativeHandle();
        render = engine->createRenderSystem();
        render->createDevice(window->nativeHandle());
        device = render->getDevice();
        return device != nullptr;
    }
    void TearDown() override {
        white = nullptr;
        engine.reset();
        window.reset();
    }
    // A 2 x 2 opaque white texture of the texture manager, modulated by
    // vertex colours; uploaded at the end of the frame it is made in, as
    // every texture is.
    QV::Texture* whiteTexture() {
        if (!white) {
            white = engine->textures().createEmptyTexture(2, 2, QV::TF_A8R8G8B8);
            white->incRefCount();  // the test's own reference: quads come and go
            engine->textures().update();
            const uint8_t pixels[16] = {255, 255, 255, 255, 255, 255, 255, 255,
                                        255, 255, 255, 255, 255, 255, 255, 255};
            white->updatePixels(pixels, 2, 2, 2);
        }
        return white;
    }
    Quad quad(float x, float y, float w, float h, uint32_t argb, int count = 1) {
        Quad q(qvtest::makeQuads(count, x, y, w, h, argb));
        q->addTexture(whiteTexture());
        return q;
    }
    // Reads the current target (after endFrame: the window's back buffer).
    void grab() { device->readBack(&pixels, &width, &height); }
    Pixel at(int x, int y) const {
        const uint8_t* p = pixels.data() + (static_cast<size_t>(y) * width + x) * 4;
        return Pixel{p[2], p[1], p[0]};
    }
    void expectPixel(int x, int y, Pixel want, int tolerance = 2) const {
        const Pixel got = at(x, y);
        EXPECT_TRUE(std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
                    std::abs(got.b - want.b) <= tolerance)
            << "at (" << x << ", " << y << "): got " << got.r << "," << got.g << "," << got.b << " want " << want.r
            << "," << want.g << "," << want.b;
    }

    std::unique_ptr<qvtest::RenderEngine> engine;
    std::unique_ptr<QV::Platform::Window> window;
    QV::RenderSystem* render = nullptr;
    QV::Gfx::IDevice* device = nullptr;
    QV::Texture* white = nullptr;
    std::vector<uint8_t> pixels;
    uint32_t width = 0, height = 0;
};

#define OPEN_OR_SKIP(...) \
    if (!open(__VA_ARGS__)) QV_GL_UNAVAILABLE() << "no OpenGL window here: " << QV::Platform::Window::lastError()

const Pixel kBlack{0, 0, 0};
const Pixel kRed{255, 0, 0};
const Pixel kBlue{0, 0, 255};
const Pixel kGreen{0, 255, 0};

TEST_F(RenderGL, ThousandQuadsInOneDrawCall) {
    OPEN_OR_SKIP(qvtest::RenderSettings());
    render->beginFrame();
    // One pixel per quad over the first rows of the 64 x 32 workspace.
    std::vector<Quad> quads;
    for (int i = 0; i < 1000; ++i) quads.push_back(quad(float(i % 64), float(i / 64), 1, 1, 0xFFFF0000));
    for (const Quad& q : quads) render->draw(q.get());
    render->flush();
    EXPECT_EQ(render->getDrawCalls(), 1u);
    EXPECT_EQ(render->getTrianglesDrawn(), 2000u);
    render->endFrame();
    grab();
    ASSERT_EQ(width, 64u);
    for (int i : {0, 1, 63, 64, 500, 999}) expectPixel(i % 64, i / 64, kRed);
    expectPixel(1000 % 64, 1000 / 64, kBlack);
    expectPixel(63, 31, kBlack);
}

TEST_F(RenderGL, RecordsAcrossTheVertexBufferBoundary) {
    OPEN_OR_SKIP(qvtest::RenderSettings());
    render->beginFrame();
    Quad first = quad(0, 0, 1, 1, 0xFFFF0000, 999);  // 3,996 vertices at (0, 0)
    Quad straddling(qvtest::makeQuads(2, 0, 0, 1, 1, 0xFF00FF00));
    // Two quads, the second one elsewhere: 8 vertices that cannot fit in the 4 left.
    {
        uint8_t* v = straddling->vertexData();
        const uint32_t stride = QV::VertexLayout::update();
        for (int i = 4; i < 8; ++i) reinterpret_cast<float*>(v + i * stride)[0] += 10.0f;
        straddling->addTexture(whiteTexture());
    }
    Quad huge = quad(20, 10, 4, 4, 0xFF0000FF, 1500);  // larger than the whole buffer
    render->draw(first.get());
    render->draw(straddling.get());
    render->draw(huge.get());
    render->flush();
    // 3,996 | 8 | 4,000 | 2,000 vertices.
    EXPECT_EQ(render->getDrawCalls(), 4u);
    render->endFrame();
    grab();
    expectPixel(0, 0, kGreen);  // drawn over the red one, after the flush
    expectPixel(10, 0, kGreen);
    expectPixel(21, 11, kBlue);
    expectPixel(5, 5, kBlack);
}

TEST_F(RenderGL, StencilMaskAndColourMask) {
    OPEN_OR_SKIP(qvtest::RenderSettings());
    render->beginFrame();
    render->beginStencilWrite();
    Quad mask = quad(0, 0, 16, 32, 0xFFFFFFFF);  // the left quarter
    render->draw(mask.get());
    render->beginStencilTest();
    const uint8_t* saved = render->getSavedColorWriteMask();
    render->setColorWriteMask(saved[0], saved[1], saved[2], saved[3]);
    Quad full = quad(0, 0, 64, 32, 0xFFFF0000);
    render->draw(full.get());
    render->endStencil();
    // Only green may be written: a white quad shows green over black and
    // leaves the red of the masked area as yellow.
    render->setColorWriteMask(false, true, false, true);
    Quad stripe = quad(8, 20, 40, 4, 0xFFFFFFFF);
    render->draw(stripe.get());
    render->setColorWriteMask(true, true, true, true);
    render->endFrame();
    grab();
    expectPixel(4, 4, kRed);
    expectPixel(20, 4, kBlack);
    expectPixel(60, 30, kBlack);
    expectPixel(10, 21, Pixel{255, 255, 0});
    expectPixel(30, 21, kGreen);
}

TEST_F(RenderGL, DistortionDisplacesTheScene) {
    OPEN_OR_SKIP(qvtest::RenderSettings());
    ASSERT_TRUE(render->isPixelShaderSupported());
    ASSERT_EQ(render->createDistortionProgram(QV::RenderSystem::kDistortionPixelShader), 0);
    render->beginFrame();
    Quad left = quad(0, 0, 32, 32, 0xFFFF0000);
    Quad right = quad(32, 0, 32, 32, 0xFF0000FF);
    render->draw(left.get());
    render->draw(right.get());
    // Full red in the distortion target: an offset of (1 - 0.498) * 0.15 of
    // the width to the right, about 4.8 pixels; green 0x7F keeps y.
    render->beginDistortion();
    Quad bend = quad(0, 0, 64, 32, 0xFFFF7FFF);
    render->draw(bend.get());
    render->endDistortion();
    render->endFrame();
    grab();
    expectPixel(20, 16, kRed);    // samples x ~ 24.8
    expectPixel(29, 16, kBlue);   // samples x ~ 33.8: shifted across the edge
    expectPixel(40, 16, kBlue);

    // The next frame draws no distortion: the composite runs without it.
    render->beginFrame();
    render->draw(left.get());
    render->draw(right.get());
    render->endFrame();
    grab();
    expectPixel(29, 16, kRed);
}

TEST_F(RenderGL, SceneIsClearedOncePerFrame) {
    OPEN_OR_SKIP(qvtest::RenderSettings());
    render->setClearColor(QV::Color::fromBytes(0, 0, 255, 0));
    render->beginFrame();
    Quad a = quad(0, 0, 8, 8, 0xFFFF0000);
    render->draw(a.get());
    render->beginDistortion();  // a second target in between must not clear the scene
    render->endDistortion();
    Quad b = quad(16, 0, 8, 8, 0xFF00FF00);
    render->draw(b.get());
    render->endFrame();
    grab();
    expectPixel(2, 2, kRed);
    expectPixel(18, 2, kGreen);
    expectPixel(40, 20, kBlue);  // clear colour, alpha forced opaque

    render->beginFrame();  // nothing drawn: last frame's picture is gone
    render->endFrame();
    grab();
    expectPixel(2, 2, kBlue);
}

// The workspace in four coloured quadrants, composited into a real window
// under each fit type; the picture is compared with one computed from the fit.
TEST_F(RenderGL, WindowShowsFittedFrameUnderEachFitType) {
    struct Case {
        int fitType;
        int windowWidth, windowHeight;
        float minimalAspect, zoom;
    };
    const Case cases[] = {
        {0, 96, 32, 1.5f, 1.0f},   // letterbox: bars left and right
        {0, 64, 64, 1.5f, 1.0f},   // bars above and below
        {1, 64, 64, 2.5f, 1.0f},   // grown by the minimal aspect, cropped
        {2, 96, 48, 1.5f, 1.25f},  // zoomed
    };
    const Pixel quadrant[4] = {kRed, kGreen, kBlue, Pixel{255, 255, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE("fit " + std::to_string(c.fitType) + " window " + std::to_string(c.windowWidth) + "x" +
                     std::to_string(c.windowHeight));
        qvtest::RenderSettings settings;
        settings.fitType = c.fitType;
        settings.windowWidth = c.windowWidth;
        settings.windowHeight = c.windowHeight;
        settings.minimalAspect = c.minimalAspect;
        settings.zoom = c.zoom;
        TearDown();
        OPEN_OR_SKIP(settings, true);

        auto drawFrame = [&]() {
            render->beginFrame();
            Quad q0 = quad(0, 0, 32, 16, 0xFFFF0000);
            Quad q1 = quad(32, 0, 32, 16, 0xFF00FF00);
            Quad q2 = quad(0, 16, 32, 16, 0xFF0000FF);
            Quad q3 = quad(32, 16, 32, 16, 0xFFFFFFFF);
            for (QV::RenderData* q : {q0.get(), q1.get(), q2.get(), q3.get()}) render->draw(q);
            render->endFrame();
            grab();
            render->present();
        };
        auto compare = [&](int ww, int wh) {
            ASSERT_EQ(width, uint32_t(ww));
            ASSERT_EQ(height, uint32_t(wh));
            QV::Vector2<float> size, offset;
            float scale = 0;
            render->getWorkspaceFit(size, offset, scale);
            int mismatches = 0;
            for (int y = 0; y < wh; ++y) {
                for (int x = 0; x < ww; ++x) {
                    // Workspace position of the pixel centre.
                    const float wx = (x + 0.5f - offset.x) * 64.0f / size.x;
                    const float wy = (y + 0.5f - offset.y) * 32.0f / size.y;
                    const bool inside = wx >= 0 && wx < 64 && wy >= 0 && wy < 32;
                    const float edge = 2.5f * std::max(1.0f, 64.0f / size.x);
                    if (std::fabs(wx - 32) < edge || std::fabs(wy - 16) < edge || std::fabs(wx) < edge ||
                        std::fabs(wx - 64) < edge || std::fabs(wy) < edge || std::fabs(wy - 32) < edge)
                        continue;  // filtered edges
                    const Pixel want = inside ? quadrant[(wy >= 16 ? 2 : 0) + (wx >= 32 ? 1 : 0)] : kBlack;
                    const Pixel got = at(x, y);
                    if (std::abs(got.r - want.r) > 8 || std::abs(got.g - want.g) > 8 ||
                        std::abs(got.b - want.b) > 8)
                        ++mismatches;
                }
            }
            EXPECT_EQ(mismatches, 0);
        };
        drawFrame();
        compare(c.windowWidth, c.windowHeight);

        // The window procedure's record of a resized client area: the next
        // frame resets the back buffer to it and fits the picture again.
        engine->window().clientWidth = c.windowWidth / 2 + 8;
        engine->window().clientHeight = c.windowHeight / 2 + 4;
        drawFrame();
        compare(c.windowWidth / 2 + 8, c.windowHeight / 2 + 4);
    }
}

}  // namespace
