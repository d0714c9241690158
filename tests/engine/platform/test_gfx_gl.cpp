#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "color.h"
#include "d3dx_math.h"
#include "platform/gfx/gfx_device.h"
#include "platform/gfx/gl_window.h"
#include "platform/gfx/shader_assembler.h"

namespace {

using namespace QV::Gfx;

constexpr uint32_t kW = 64, kH = 48;

struct Vertex {
    float x, y, z;
    QV::Color color;
    float u, v;
};
static_assert(sizeof(Vertex) == 24, "format 21");

struct Pixels {
    std::vector<uint8_t> bgra;
    uint32_t w = 0, h = 0;
    uint32_t at(uint32_t x, uint32_t y) const {  // 0xAARRGGBB
        const uint8_t* p = &bgra[(size_t(y) * w + x) * 4];
        return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
};

int channel(uint32_t argb, int shift) { return int((argb >> shift) & 0xFF); }

class GfxGL : public testing::Test {
protected:
    void SetUp() override {
        window = createHiddenGLWindow(int(kW), int(kH));
        ASSERT_NE(window, nullptr) << "no video driver (set SDL_VIDEODRIVER=offscreen)";
        driver = createOpenGLDriver(SDK_VERSION);
        ASSERT_NE(driver, nullptr);
        PresentParameters p;
        p.backBufferWidth = kW;
        p.backBufferHeight = kH;
        p.backBufferFormat = FMT_X8R8G8B8;
        p.backBufferCount = 1;
        p.swapEffect = SWAPEFFECT_COPY;
        p.deviceWindow = window;
        p.windowed = true;
        p.enableAutoDepthStencil = true;
        p.autoDepthStencilFormat = FMT_D16;
        ASSERT_EQ(driver->createDevice(0, DEVTYPE_HAL, window, CREATE_HARDWARE_VERTEXPROCESSING, &p, &device), OK);
        ASSERT_EQ(device->createVertexBuffer(24 * 4000, USAGE_DYNAMIC, 0x142, POOL_DEFAULT, &vb), OK);
        ASSERT_EQ(device->createIndexBuffer(12000, USAGE_WRITEONLY, FMT_INDEX16, POOL_DEFAULT, &ib), OK);
        uint8_t* data = nullptr;
        ASSERT_EQ(ib->lock(0, 0, &data, 0), OK);
        auto* idx = reinterpret_cast<uint16_t*>(data);
        for (uint16_t k = 0; k < 1000; ++k) {
            const uint16_t q[6] = {uint16_t(4 * k), uint16_t(4 * k + 1), uint16_t(4 * k + 2),
                                   uint16_t(4 * k + 2), uint16_t(4 * k + 3), uint16_t(4 * k)};
            std::memcpy(idx + 6 * k, q, sizeof q);
        }
        ib->unlock();
        device->setVertexShader(0x142);
        device->setStreamSource(0, vb, 24);
        device->setIndices(ib, 0);
        // The renderer's fixed states.
        device->setRenderState(RS_CULLMODE, CULL_NONE);
        device->setRenderState(RS_LIGHTING, 0);
        device->setRenderState(RS_ALPHABLENDENABLE, 1);
        device->setTextureStageState(0, TSS_COLOROP, TOP_MODULATE);
        device->setTextureStageState(0, TSS_COLORARG1, TA_TEXTURE);
        device->setTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
        device->setTextureStageState(0, TSS_ALPHAOP, TOP_MODULATE);
        device->setTextureStageState(0, TSS_ALPHAARG1, TA_TEXTURE);
        device->setTextureStageState(0, TSS_ALPHAARG2, TA_DIFFUSE);
        device->setTextureStageState(0, TSS_MIPFILTER, TEXF_LINEAR);
        device->setTextureStageState(0, TSS_MAGFILTER, TEXF_LINEAR);
        device->setTextureStageState(0, TSS_MINFILTER, TEXF_LINEAR);
        device->setRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
        device->setRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
        device->setRenderState(RS_ZWRITEENABLE, 0);
        device->setRenderState(RS_ZENABLE, 0);
        device->setRenderState(RS_ALPHATESTENABLE, 1);
        device->setRenderState(RS_ALPHAREF, 1);
        device->setRenderState(RS_ALPHAFUNC, CMP_GREATEREQUAL);
        device->setRenderState(RS_STENCILENABLE, 0);
        ASSERT_EQ(device->getRenderTarget(&backBuffer), OK);
        ASSERT_EQ(device->getDepthStencilSurface(&backDepth), OK);
        ASSERT_EQ(device->createDepthStencilSurface(kW, kH, FMT_D24S8, 0, &depthStencil), OK);
    }

    void TearDown() override {
        for (ITexture* t : textures) safeRelease(t);
        safeRelease(backBuffer);
        safeRelease(backDepth);
        safeRelease(depthStencil);
        safeRelease(vb);
        safeRelease(ib);
        safeRelease(device);
        safeRelease(driver);
        destroyHiddenGLWindow(window);
    }

    // The renderer's view-projection for a target of w x h, identity camera.
    void setProjection(uint32_t w, uint32_t h) {
        const float W = float(w), H = float(h);
        QV::Matrix4 m, t;
        QV::matrixScaling(&m, 1, -1, 1);
        QV::matrixTranslation(&t, -W / 2, H - H / 2, 0);
        QV::matrixMultiply(&m, &m, &t);
        QV::matrixTranslation(&t, W / 2 - 0.5f, H / 2 + 0.5f, 0);
        QV::matrixMultiply(&m, &m, &t);
        QV::matrixOrthoOffCenterLH(&t, 0, W, 0, H, 0, 128);
        QV::matrixMultiply(&m, &m, &t);
        device->setTransform(TS_PROJECTION, &m);
        QV::Matrix4 id;
        QV::matrixIdentity(&id);
        device->setTransform(TS_VIEW, &id);
    }

    ITexture* makeTexture(uint32_t w, uint32_t h, uint32_t usage, uint32_t format, uint32_t pool) {
        ITexture* t = nullptr;
        EXPECT_EQ(device->createTexture(w, h, 1, usage, format, pool, &t), OK);
        textures.push_back(t);
        return t;
    }

    ITexture* makeFilledTexture(uint32_t w, uint32_t h, const std::vector<uint32_t>& argb) {
        ITexture* t = makeTexture(w, h, 0, FMT_A8R8G8B8, POOL_MANAGED);
        LockedRect r;
        EXPECT_EQ(t->lockRect(0, &r, nullptr, 0), OK);
        for (uint32_t y = 0; y < h; ++y)
            std::memcpy(static_cast<uint8_t*>(r.bits) + y * uint32_t(r.pitch), &argb[y * w], w * 4);
        EXPECT_EQ(t->unlockRect(0), OK);
        return t;
    }

    void target(ITexture* t, ISurface* depth) {
        ISurface* level = nullptr;
        ASSERT_EQ(t->getSurfaceLevel(0, &level), OK);
        ASSERT_EQ(device->setRenderTarget(level, depth), OK);
        level->release();
        SurfaceDesc d;
        t->getLevelDesc(0, &d);
        setProjection(d.width, d.height);
    }

    void backTarget() {
        ASSERT_EQ(device->setRenderTarget(backBuffer, backDepth), OK);
        setProjection(kW, kH);
    }

    void quad(float x0, float y0, float x1, float y1, QV::Color c, float u1 = 1, float v1 = 1) {
        const Vertex v[4] = {{x0, y0, 0, c, 0, 0}, {x1, y0, 0, c, u1, 0}, {x1, y1, 0, c, u1, v1}, {x0, y1, 0, c, 0, v1}};
        quad(v);
    }

    void quad(const Vertex (&v)[4]) {
        uint8_t* data = nullptr;
        ASSERT_EQ(vb->lock(0, 0, &data, LOCK_DISCARD), OK);
        std::memcpy(data, v, sizeof v);
        vb->unlock();
        ASSERT_EQ(device->beginScene(), OK);
        ASSERT_EQ(device->drawIndexedPrimitive(PT_TRIANGLELIST, 0, 4, 0, 2), OK);
        ASSERT_EQ(device->endScene(), OK);
    }

    Pixels read() {
        Pixels p;
        EXPECT_EQ(device->readBack(&p.bgra, &p.w, &p.h), OK);
        return p;
    }

    void* window = nullptr;
    IDriver* driver = nullptr;
    IDevice* device = nullptr;
    IVertexBuffer* vb = nullptr;
    IIndexBuffer* ib = nullptr;
    ISurface* backBuffer = nullptr;
    ISurface* backDepth = nullptr;
    ISurface* depthStencil = nullptr;
    std::vector<ITexture*> textures;
};

const QV::Color kWhite = QV::Color::fromWord(0xFFFFFFFF);

TEST_F(GfxGL, SpriteLandsExactlyOnPixels) {
    std::vector<uint32_t> texels(16);
    for (uint32_t i = 0; i < 16; ++i) texels[i] = 0xFF000000u | (i * 16) << 16 | (255 - i * 16) << 8 | (i * 5);
    ITexture* sprite = makeFilledTexture(4, 4, texels);
    ITexture* scene = makeTexture(kW, kH, USAGE_RENDERTARGET, FMT_X8R8G8B8, POOL_DEFAULT);
    struct Case {
        const char* name;
        bool backBuffer;
    } cases[] = {{"render texture", false}, {"back buffer", true}};
    for (const Case& c : cases) {
        if (c.backBuffer) backTarget();
        else target(scene, depthStencil);
        ASSERT_EQ(device->clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF0A141E, 1.0f, 0), OK);
        device->setTexture(0, sprite);
        quad(10, 20, 14, 24, kWhite);
        Pixels p = read();
        ASSERT_EQ(p.w, kW);
        for (uint32_t y = 18; y < 26; ++y)
            for (uint32_t x = 8; x < 16; ++x) {
                const bool inside = x >= 10 && x < 14 && y >= 20 && y < 24;
                const uint32_t expected = inside ? texels[(y - 20) * 4 + (x - 10)] : 0xFF0A141Eu;
                EXPECT_EQ(p.at(x, y) & 0xFFFFFF, expected & 0xFFFFFF) << c.name << " at " << x << "," << y;
            }
    }
    device->setTexture(0, nullptr);
}

TEST_F(GfxGL, TexelsOneToOneStayExactAndScaledOnesStayFiltered) {
    // 3 x 5 texels: texture coordinates in thirds and fifths are not exact
    // in binary, and the pixels must still be the texels.
    std::vector<uint32_t> texels(15);
    for (uint32_t i = 0; i < 15; ++i) texels[i] = 0xFF000000u | (i * 17) << 16 | (250 - i * 13) << 8 | (i * 7 + 3);
    ITexture* odd = makeFilledTexture(3, 5, texels);
    ITexture* ramp = makeFilledTexture(2, 1, {0xFF000000u, 0xFFFFFFFFu});
    ITexture* scene = makeTexture(kW, kH, USAGE_RENDERTARGET, FMT_X8R8G8B8, POOL_DEFAULT);
    for (bool backBufferTarget : {false, true}) {
        const char* name = backBufferTarget ? "back buffer" : "render texture";
        if (backBufferTarget) backTarget();
        else target(scene, depthStencil);
        ASSERT_EQ(device->clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0), OK);
        device->setTexture(0, odd);
        quad(10, 20, 13, 25, kWhite);
        // Mirrored left to right beside it.
        const Vertex mirrored[4] = {{20, 20, 0, kWhite, 1, 0}, {23, 20, 0, kWhite, 0, 0},
                                    {23, 25, 0, kWhite, 0, 1}, {20, 25, 0, kWhite, 1, 1}};
        quad(mirrored);
        // Two texels stretched over eight pixels blend between them.
        device->setTexture(0, ramp);
        quad(30, 20, 38, 21, kWhite);
        device->setTexture(0, nullptr);
        Pixels p = read();
        for (uint32_t y = 0; y < 5; ++y)
            for (uint32_t x = 0; x < 3; ++x) {
                EXPECT_EQ(p.at(10 + x, 20 + y) & 0xFFFFFF, texels[y * 3 + x] & 0xFFFFFF) << name << " " << x << "," << y;
                EXPECT_EQ(p.at(20 + x, 20 + y) & 0xFFFFFF, texels[y * 3 + 2 - x] & 0xFFFFFF)
                    << name << " mirrored " << x << "," << y;
            }
        int between = 0;
        for (uint32_t x = 30; x < 38; ++x) {
            const int grey = channel(p.at(x, 20), 8);
            between += grey > 10 && grey < 245;
        }
        EXPECT_GE(between, 4) << name << ": a stretched texture is filtered";
    }
}

TEST_F(GfxGL, RenderTexturesAreTopDownAndHaveNoAlpha) {
    // Scene: black, with a half-transparent white quad in its top-left
    // corner; the texture's format has no alpha channel.
    ITexture* scene = makeTexture(kW, kH, USAGE_RENDERTARGET, FMT_X8R8G8B8, POOL_DEFAULT);
    target(scene, depthStencil);
    device->clear(0, nullptr, CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->setTexture(0, nullptr);
    quad(0, 0, 8, 8, QV::Color::fromBytes(255, 255, 255, 127));
    Pixels inScene = read();
    EXPECT_NEAR(channel(inScene.at(2, 2), 16), 127, 1);
    EXPECT_EQ(inScene.at(2, 40) & 0xFFFFFF, 0u);

    // Composite it 1:1 with alpha blending on: not darkened a second time,
    // and the top stays on top.
    backTarget();
    device->clear(0, nullptr, CLEAR_TARGET, 0x00000000, 1.0f, 0);
    device->setTexture(0, scene);
    quad(0, 0, float(kW), float(kH), kWhite);
    device->setTexture(0, nullptr);
    Pixels out = read();
    for (int shift : {0, 8, 16}) EXPECT_NEAR(channel(out.at(2, 2), shift), 127, 1) << shift;
    EXPECT_EQ(out.at(2, 40) & 0xFFFFFF, 0u);
    EXPECT_EQ(out.at(40, 2) & 0xFFFFFF, 0u);
}

TEST_F(GfxGL, UntexturedDrawsVertexColourAndColoursAreBgra) {
    backTarget();
    device->clear(0, nullptr, CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->setTexture(0, nullptr);
    quad(0, 0, 8, 8, kWhite);
    quad(8, 0, 16, 8, QV::Color::fromBytes(255, 0, 0, 255));
    quad(16, 0, 24, 8, QV::Color::fromBytes(0, 0, 255, 255));
    Pixels p = read();
    EXPECT_EQ(p.at(4, 4) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(p.at(12, 4) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(p.at(20, 4) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(GfxGL, StageOperationsTable) {
    // Texture (0x40, 0x80, 0xC0), vertex colour (0x20, 0x20, 0x20).
    ITexture* t = makeFilledTexture(1, 1, {0xFF4080C0});
    backTarget();
    device->clear(0, nullptr, CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->setTexture(0, t);
    device->setRenderState(RS_TEXTUREFACTOR, 0xFF102030);
    struct Case {
        uint32_t op, arg1, arg2;
        uint32_t expected;
    } cases[] = {
        {TOP_SELECTARG1, TA_TEXTURE, TA_DIFFUSE, 0x4080C0},
        {TOP_SELECTARG2, TA_TEXTURE, TA_DIFFUSE, 0x202020},
        {TOP_ADD, TA_TEXTURE, TA_DIFFUSE, 0x60A0E0},
        {TOP_SUBTRACT, TA_TEXTURE, TA_DIFFUSE, 0x2060A0},
        {TOP_MODULATE2X, TA_TEXTURE, TA_DIFFUSE | TA_COMPLEMENT, 0x70E0FF},
        {TOP_SELECTARG1, TA_TFACTOR, TA_DIFFUSE, 0x102030},
        {TOP_DISABLE, TA_TEXTURE, TA_DIFFUSE, 0x202020},
    };
    device->setRenderState(RS_ALPHABLENDENABLE, 0);
    float x = 0;
    for (const Case& c : cases) {
        device->setTextureStageState(0, TSS_COLOROP, c.op);
        device->setTextureStageState(0, TSS_COLORARG1, c.arg1);
        device->setTextureStageState(0, TSS_COLORARG2, c.arg2);
        quad(x, 0, x + 4, 4, QV::Color::fromBytes(0x20, 0x20, 0x20, 255));
        x += 4;
    }
    Pixels p = read();
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const uint32_t got = p.at(uint32_t(i * 4 + 1), 1) & 0xFFFFFF;
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(channel(got, shift), channel(cases[i].expected, shift), 2) << i;
    }
    device->setTexture(0, nullptr);
}

TEST_F(GfxGL, AlphaUsesTheSameBlendFactors) {
    // A target with alpha: the alpha channel is blended like the colour.
    ITexture* t = makeTexture(kW, kH, USAGE_RENDERTARGET, FMT_A8R8G8B8, POOL_DEFAULT);
    target(t, nullptr);
    device->clear(0, nullptr, CLEAR_TARGET, 0x00000000, 1.0f, 0);
    device->setTexture(0, nullptr);
    quad(0, 0, 8, 8, QV::Color::fromBytes(255, 255, 255, 128));
    Pixels p = read();
    EXPECT_NEAR(channel(p.at(4, 4), 24), 128 * 128 / 255, 1);
    EXPECT_NEAR(channel(p.at(4, 4), 16), 128, 1);
}

TEST_F(GfxGL, AddressingBelongsToTheStage) {
    // Black | white, drawn with u from 0 to 2 over 8 pixels, point sampled.
    ITexture* t = makeFilledTexture(2, 1, {0xFF000000, 0xFFFFFFFF});
    backTarget();
    device->clear(0, nullptr, CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->setTexture(0, t);
    device->setTextureStageState(0, TSS_MINFILTER, TEXF_POINT);
    device->setTextureStageState(0, TSS_MAGFILTER, TEXF_POINT);
    struct Case {
        uint32_t address;
        uint32_t expected[4];  // pixel pairs 0-1, 2-3, 4-5, 6-7
        int row;
    } cases[] = {{TADDRESS_WRAP, {0, 0xFFFFFF, 0, 0xFFFFFF}, 0},
                 {TADDRESS_CLAMP, {0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}, 10},
                 {TADDRESS_MIRROR, {0, 0xFFFFFF, 0xFFFFFF, 0}, 20}};
    for (const Case& c : cases) {
        device->setTextureStageState(0, TSS_ADDRESSU, c.address);
        device->setTextureStageState(0, TSS_ADDRESSV, c.address);
        quad(0, float(c.row), 8, float(c.row + 4), kWhite, 2, 1);
    }
    Pixels p = read();
    for (const Case& c : cases)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(p.at(2 * i + 1, c.row + 1) & 0xFFFFFF, c.expected[i]) << c.address << " " << i;
    device->setTexture(0, nullptr);
}

TEST_F(GfxGL, TextureFormatsAndRelocking) {
    // Video planes: L8 reads as grey, A8L8 as grey with alpha (byte order
    // luminance then alpha). A relocked managed texture keeps its bytes.
    ITexture* l8 = makeTexture(2, 2, 0, FMT_L8, POOL_MANAGED);
    ITexture* a8l8 = makeTexture(2, 2, 0, FMT_A8L8, POOL_MANAGED);
    LockedRect r;
    ASSERT_EQ(l8->lockRect(0, &r, nullptr, 0), OK);
    EXPECT_EQ(r.pitch, 2);
    std::memset(r.bits, 200, 4);
    l8->unlockRect(0);
    ASSERT_EQ(a8l8->lockRect(0, &r, nullptr, 0), OK);
    EXPECT_EQ(r.pitch, 4);
    for (int i = 0; i < 4; ++i) {
        static_cast<uint8_t*>(r.bits)[i * 2] = 50;
        static_cast<uint8_t*>(r.bits)[i * 2 + 1] = 255;
    }
    a8l8->unlockRect(0);
    // Change one texel of the L8 plane only.
    ASSERT_EQ(l8->lockRect(0, &r, nullptr, 0), OK);
    EXPECT_EQ(static_cast<uint8_t*>(r.bits)[3], 200);
    static_cast<uint8_t*>(r.bits)[0] = 10;
    l8->unlockRect(0);

    backTarget();
    device->clear(0, nullptr, CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->setTextureStageState(0, TSS_MINFILTER, TEXF_POINT);
    device->setTextureStageState(0, TSS_MAGFILTER, TEXF_POINT);
    device->setTexture(0, l8);
    quad(0, 0, 8, 8, kWhite);
    device->setTexture(0, a8l8);
    quad(8, 0, 16, 8, kWhite);
    device->setTexture(0, nullptr);
    Pixels p = read();
    EXPECT_EQ(p.at(1, 1) & 0xFFFFFF, 0x0A0A0Au);
    EXPECT_EQ(p.at(6, 6) & 0xFFFFFF, 0xC8C8C8u);
    EXPECT_EQ(p.at(10, 2) & 0xFFFFFF, 0x323232u);
}

TEST_F(GfxGL, ClearTouchesOnlyWhatItIsAskedFor) {
    ITexture* t = makeTexture(kW, kH, USAGE_RENDERTARGET, FMT_X8R8G8B8, POOL_DEFAULT);
    target(t, depthStencil);
    device->clear(0, nullptr, CLEAR_TARGET | CLEAR_STENCIL, 0xFFFF0000, 1.0f, 0);
    Viewport v;
    v.x = 4;
    v.y = 8;
    v.width = 10;
    v.height = 6;
    device->setViewport(&v);
    device->clear(0, nullptr, CLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    device->clear(0, nullptr, CLEAR_STENCIL | CLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 1);
    Pixels p = read();
    EXPECT_EQ(p.at(4, 8) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(p.at(13, 13) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(p.at(3, 8) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(p.at(14, 13) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(p.at(4, 14) & 0xFFFFFF, 0xFF0000u);
    // A new target resets the viewport to all of it.
    target(t, depthStencil);
    Viewport full;
    device->getViewport(&full);
    EXPECT_EQ(full.x, 0u);
    EXPECT_EQ(full.width, kW);
    EXPECT_EQ(full.height, kH);
    device->clear(0, nullptr, CLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    p = read();
    EXPECT_EQ(p.at(0, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(p.at(kW - 1, kH - 1) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(GfxGL, StencilWriteThenTest) {
    ITexture* t = makeTexture(kW, kH, USAGE_RENDERTARGET, FMT_X8R8G8B8, POOL_DEFAULT);
    target(t, depthStencil);
    device->clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER | CLEAR_STENCIL, 0xFF000000, 1.0f, 0);
    device->setTexture(0, nullptr);
    // Mask: write 1 where the alpha test passes, no colour.
    device->setRenderState(RS_STENCILENABLE, 1);
    device->setRenderState(RS_STENCILFUNC, CMP_ALWAYS);
    device->setRenderState(RS_STENCILREF, 1);
    device->setRenderState(RS_STENCILMASK, 0xFFFFFFFF);
    device->setRenderState(RS_STENCILWRITEMASK, 0xFFFFFFFF);
    device->setRenderState(RS_STENCILZFAIL, STENCILOP_KEEP);
    device->setRenderState(RS_STENCILFAIL, STENCILOP_KEEP);
    device->setRenderState(RS_STENCILPASS, STENCILOP_REPLACE);
    device->setRenderState(RS_COLORWRITEENABLE, 0);
    quad(0, 0, 8, 8, kWhite);
    quad(8, 0, 16, 8, QV::Color::fromBytes(255, 255, 255, 0));  // fails the alpha test
    // Test: draw only where the stencil holds 1.
    device->setRenderState(RS_STENCILFUNC, CMP_EQUAL);
    device->setRenderState(RS_COLORWRITEENABLE, 0xF);
    quad(0, 0, 24, 16, QV::Color::fromBytes(255, 0, 0, 255));
    device->setRenderState(RS_STENCILENABLE, 0);
    Pixels p = read();
    EXPECT_EQ(p.at(1, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(p.at(7, 7) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(p.at(8, 1) & 0xFFFFFF, 0u);
    EXPECT_EQ(p.at(12, 4) & 0xFFFFFF, 0u);
    EXPECT_EQ(p.at(1, 9) & 0xFFFFFF, 0u);
    // Clearing the stencil alone leaves the colour.
    device->clear(0, nullptr, CLEAR_STENCIL, 0xFF000000, 1.0f, 0);
    EXPECT_EQ(read().at(1, 1) & 0xFFFFFF, 0xFF0000u);
}

const char* kDistortion =
    "ps.1.4;\n"
    "def c0, 0.15f, 0.15f, 1.0f, 1.0f;\n"
    "def c1, 0.498039f, 0.498039f, 0.0f, 0.0f;\n"
    "texcrd r2.xyz, t0;\n"
    "texld r1, t0;\n"
    "mov r2.w, r2.x;\n"
    "sub r1, r1, c1;\n"
    "mul r1, r1, c0;\n"
    "add r1, r1, r2;\n"
    "phase\n"
    "texld r0, r1;\n";

TEST_F(GfxGL, DistortionProgramDisplaces) {
    // Scene: each column its own red value.
    std::vector<uint32_t> columns(kW * kH);
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) columns[y * kW + x] = 0xFF000000u | (x * 4) << 16;
    ITexture* scene = makeFilledTexture(kW, kH, columns);
    // Distortion target: neutral, with red 233 on the left half: an offset
    // of (233 / 255 - 0.498) * 0.15 * 64 = 3.99 pixels to the right.
    ITexture* distortion = makeTexture(kW, kH, USAGE_RENDERTARGET, FMT_X8R8G8B8, POOL_DEFAULT);
    target(distortion, nullptr);
    device->clear(0, nullptr, CLEAR_TARGET, 0x007F7FFF, 1.0f, 0);
    device->setTexture(0, nullptr);
    quad(0, 0, 32, float(kH), QV::Color::fromBytes(233, 127, 255, 255));

    ShaderCode code;
    std::string errors;
    ASSERT_TRUE(assembleShader(kDistortion, std::strlen(kDistortion), &code, &errors)) << errors;
    uint32_t handle = 0;
    ASSERT_EQ(device->createPixelShader(&code, &handle), OK);

    backTarget();
    device->clear(0, nullptr, CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    for (uint32_t s = 0; s < 2; ++s) {
        device->setTextureStageState(s, TSS_MINFILTER, TEXF_POINT);
        device->setTextureStageState(s, TSS_MAGFILTER, TEXF_POINT);
        device->setTextureStageState(s, TSS_ADDRESSU, TADDRESS_CLAMP);
        device->setTextureStageState(s, TSS_ADDRESSV, TADDRESS_CLAMP);
    }
    device->setTexture(0, scene);
    device->setTexture(1, distortion);
    ASSERT_EQ(device->setPixelShader(handle), OK);
    quad(0, 0, float(kW), float(kH), kWhite);
    device->setPixelShader(0);
    device->setTexture(1, nullptr);
    device->setTexture(0, nullptr);
    Pixels p = read();
    for (uint32_t x : {0u, 10u, 27u}) EXPECT_EQ(channel(p.at(x, 20), 16), int((x + 4) * 4)) << x;
    for (uint32_t x : {33u, 40u, 63u}) EXPECT_EQ(channel(p.at(x, 20), 16), int(x * 4)) << x;
    EXPECT_EQ(device->deletePixelShader(handle), OK);
    EXPECT_EQ(device->deletePixelShader(handle), ERR_INVALIDCALL);
}

TEST_F(GfxGL, VertexAndPixelShaderPairMatchesFixedPath) {
    const char* vsText =
        "vs.1.1\n"
        "m4x4 oPos, v0, c0\n"
        "mov oD0, v1\n"
        "mov oT0, v2\n";
    const char* psText =
        "ps.1.1\n"
        "tex t0\n"
        "mul r0, t0, v0\n";
    ShaderCode vs, ps;
    std::string errors;
    ASSERT_TRUE(assembleShader(vsText, std::strlen(vsText), &vs, &errors)) << errors;
    ASSERT_TRUE(assembleShader(psText, std::strlen(psText), &ps, &errors)) << errors;
    const uint32_t decl[] = {vsdStream(0), vsdReg(0, VSDT_FLOAT3), vsdReg(1, VSDT_D3DCOLOR), vsdReg(2, VSDT_FLOAT2),
                             VSD_END};
    uint32_t vh = 0, ph = 0;
    ASSERT_EQ(device->createVertexShader(decl, &vs, &vh, 0), OK);
    ASSERT_EQ(device->createPixelShader(&ps, &ph), OK);

    std::vector<uint32_t> texels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    ITexture* t = makeFilledTexture(2, 2, texels);
    backTarget();
    device->clear(0, nullptr, CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->setTexture(0, t);
    device->setTextureStageState(0, TSS_MINFILTER, TEXF_POINT);
    device->setTextureStageState(0, TSS_MAGFILTER, TEXF_POINT);
    quad(0, 0, 8, 8, QV::Color::fromBytes(255, 255, 255, 255));
    // The same through the shaders, with the transposed projection in c0..c3.
    QV::Matrix4 proj, transposed;
    // setProjection stored it on the device; rebuild it the same way.
    {
        const float W = float(kW), H = float(kH);
        QV::Matrix4 m, s;
        QV::matrixScaling(&m, 1, -1, 1);
        QV::matrixTranslation(&s, -W / 2, H - H / 2, 0);
        QV::matrixMultiply(&m, &m, &s);
        QV::matrixTranslation(&s, W / 2 - 0.5f, H / 2 + 0.5f, 0);
        QV::matrixMultiply(&m, &m, &s);
        QV::matrixOrthoOffCenterLH(&s, 0, W, 0, H, 0, 128);
        QV::matrixMultiply(&proj, &m, &s);
    }
    QV::matrixTranspose(&transposed, &proj);
    device->setVertexShaderConstant(0, transposed.data(), 4);
    ASSERT_EQ(device->setVertexShader(vh), OK);
    ASSERT_EQ(device->setPixelShader(ph), OK);
    quad(16, 0, 24, 8, QV::Color::fromBytes(255, 255, 255, 255));
    device->setVertexShader(0x142);
    device->setPixelShader(0);
    device->setTexture(0, nullptr);
    Pixels p = read();
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 8; ++x) EXPECT_EQ(p.at(x, y), p.at(x + 16, y)) << x << "," << y;
    EXPECT_EQ(p.at(1, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(p.at(6, 6) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(GfxGL, WhiteAndOpaqueDrawsBlendLikeAnyOther) {
    // Draws whose vertex colours are all white, or whose source alpha is one
    // everywhere, take shorter pixel paths; the pixels must not tell.
    ITexture* translucent = makeFilledTexture(1, 1, {0x80FF4000});
    ITexture* noAlpha = makeTexture(1, 1, 0, FMT_X8R8G8B8, POOL_MANAGED);
    LockedRect r;
    ASSERT_EQ(noAlpha->lockRect(0, &r, nullptr, 0), OK);
    const uint32_t noAlphaTexel = 0x0000C0FF;  // alpha byte 0, ignored by the format
    std::memcpy(r.bits, &noAlphaTexel, 4);
    ASSERT_EQ(noAlpha->unlockRect(0), OK);
    const uint32_t background = 0xFF204060;
    struct Case {
        const char* name;
        ITexture* texture;
        uint32_t diffuse;
        uint32_t source;  // colour the stage produces, 0xAARRGGBB
    } cases[] = {
        {"white over a translucent texel", translucent, 0xFFFFFFFF, 0x80FF4000},
        {"tinted over a translucent texel", translucent, 0xFF808080, 0x80802000},
        {"white over a texture without alpha", noAlpha, 0xFFFFFFFF, 0xFF00C0FF},
        {"translucent over a texture without alpha", noAlpha, 0x80FFFFFF, 0x8000C0FF},
        {"opaque colour, no texture", nullptr, 0xFF00FF00, 0xFF00FF00},
        {"invisible white, no texture", nullptr, 0x00FFFFFF, 0x00FFFFFF},
    };
    ITexture* withAlpha = makeTexture(kW, kH, USAGE_RENDERTARGET, FMT_A8R8G8B8, POOL_DEFAULT);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0) backTarget();
        else target(withAlpha, nullptr);
        device->clear(0, nullptr, CLEAR_TARGET, background, 1.0f, 0);
        float x = 0;
        for (const Case& c : cases) {
            device->setTexture(0, c.texture);
            quad(x, 0, x + 4, 4, QV::Color::fromWord(c.diffuse));
            x += 4;
        }
        device->setTexture(0, nullptr);
        Pixels p = read();
        for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
            const uint32_t got = p.at(uint32_t(i * 4 + 1), 1);
            const int a = channel(cases[i].source, 24);
            for (int shift : {0, 8, 16}) {
                const int expected = (channel(cases[i].source, shift) * a + channel(background, shift) * (255 - a)) / 255;
                EXPECT_NEAR(channel(got, shift), expected, 2) << cases[i].name << " pass " << pass << " shift " << shift;
            }
            if (pass == 1) {
                const int expected = (a * a + 255 * (255 - a)) / 255;
                EXPECT_NEAR(channel(got, 24), expected, 2) << cases[i].name << " alpha";
            }
        }
    }
}

TEST_F(GfxGL, DrawRulesAndResetKeepWorking) {
    backTarget();
    // Outside a scene, or from a locked buffer: refused.
    EXPECT_EQ(device->drawIndexedPrimitive(PT_TRIANGLELIST, 0, 4, 0, 2), ERR_INVALIDCALL);
    uint8_t* data = nullptr;
    ASSERT_EQ(vb->lock(0, 0, &data, LOCK_DISCARD), OK);
    ASSERT_EQ(device->beginScene(), OK);
    EXPECT_EQ(device->drawIndexedPrimitive(PT_TRIANGLELIST, 0, 4, 0, 2), ERR_INVALIDCALL);
    vb->unlock();
    device->endScene();
    // Reset: a new back-buffer size and the viewport follows; drawing goes on.
    PresentParameters p;
    p.backBufferWidth = 32;
    p.backBufferHeight = 24;
    p.backBufferFormat = FMT_X8R8G8B8;
    p.enableAutoDepthStencil = true;
    p.autoDepthStencilFormat = FMT_D16;
    p.deviceWindow = window;
    ASSERT_EQ(device->reset(&p), OK);
    Viewport v;
    device->getViewport(&v);
    EXPECT_EQ(v.width, 32u);
    EXPECT_EQ(device->testCooperativeLevel(), OK);
    EXPECT_EQ(device->present(), OK);
    Caps caps;
    ASSERT_EQ(device->getDeviceCaps(&caps), OK);
    EXPECT_GE(caps.pixelShaderVersion, 0xFFFF0104u);
    EXPECT_GE(caps.maxTextureWidth, 2048u);
    // The driver: formats it holds, and no device without a window.
    EXPECT_EQ(driver->checkDeviceFormat(0, DEVTYPE_HAL, FMT_X8R8G8B8, USAGE_DEPTHSTENCIL, RTYPE_SURFACE, FMT_D24S8), OK);
    EXPECT_EQ(driver->checkDeviceFormat(0, DEVTYPE_HAL, FMT_X8R8G8B8, USAGE_RENDERTARGET, RTYPE_TEXTURE, FMT_L8),
              ERR_NOTAVAILABLE);
    EXPECT_EQ(driver->checkDeviceFormat(0, DEVTYPE_HAL, FMT_X8R8G8B8, 0, RTYPE_TEXTURE, FMT_DXT5), OK);
    PresentParameters none;
    IDevice* other = nullptr;
    EXPECT_EQ(driver->createDevice(0, DEVTYPE_HAL, nullptr, CREATE_HARDWARE_VERTEXPROCESSING, &none, &other),
              ERR_NOTAVAILABLE);
    EXPECT_EQ(other, nullptr);
    DisplayMode mode;
    ASSERT_EQ(driver->getAdapterDisplayMode(0, &mode), OK);
    EXPECT_EQ(mode.format, FMT_X8R8G8B8);
    EXPECT_GT(mode.width, 0u);
}

}  // namespace
