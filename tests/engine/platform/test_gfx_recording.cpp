#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform/gfx/recording_driver.h"

namespace {

using namespace QV::Gfx;

PresentParameters windowParams(uint32_t w = 800, uint32_t h = 600) {
    PresentParameters p;
    p.backBufferWidth = w;
    p.backBufferHeight = h;
    p.backBufferFormat = FMT_X8R8G8B8;
    p.backBufferCount = 1;
    p.swapEffect = SWAPEFFECT_COPY;
    p.windowed = true;
    p.enableAutoDepthStencil = true;
    p.autoDepthStencilFormat = FMT_D16;
    return p;
}

// The hardware, mixed, software fallback the renderer walks.
IDevice* createWithFallbacks(IDriver* driver, uint32_t* usedFlags) {
    const uint32_t order[] = {CREATE_HARDWARE_VERTEXPROCESSING, CREATE_MIXED_VERTEXPROCESSING,
                              CREATE_SOFTWARE_VERTEXPROCESSING};
    PresentParameters p = windowParams();
    for (uint32_t flags : order) {
        IDevice* device = nullptr;
        if (succeeded(driver->createDevice(0, DEVTYPE_HAL, nullptr, flags, &p, &device))) {
            *usedFlags = flags;
            return device;
        }
    }
    return nullptr;
}

struct Fixture {
    explicit Fixture(const FaultPlan& plan = FaultPlan()) {
        driver = new RecordingDriver(plan);
        uint32_t flags = 0;
        device = static_cast<RecordingDevice*>(createWithFallbacks(driver, &flags));
    }
    ~Fixture() {
        safeRelease(device);
        driver->release();
    }
    RecordingDriver* driver;
    RecordingDevice* device;
};

TEST(GfxRecording, CreationFallbackTable) {
    struct Case {
        bool refuseHw, refuseMixed, refuseSw;
        uint32_t expected;  // 0: no device
        int attempts;
    } cases[] = {
        {false, false, false, CREATE_HARDWARE_VERTEXPROCESSING, 1},
        {true, false, false, CREATE_MIXED_VERTEXPROCESSING, 2},
        {true, true, false, CREATE_SOFTWARE_VERTEXPROCESSING, 3},
        {true, true, true, 0, 3},
    };
    for (const Case& c : cases) {
        FaultPlan plan;
        plan.refuseHardwareVertexProcessing = c.refuseHw;
        plan.refuseMixedVertexProcessing = c.refuseMixed;
        plan.refuseSoftwareVertexProcessing = c.refuseSw;
        auto* driver = new RecordingDriver(plan);
        uint32_t flags = 0;
        IDevice* device = createWithFallbacks(driver, &flags);
        EXPECT_EQ(device != nullptr, c.expected != 0);
        if (device) {
            EXPECT_EQ(flags, c.expected);
            EXPECT_EQ(driver->lastDevice()->behaviorFlags(), c.expected);
        }
        int attempts = 0;
        for (const RecordedCall& call : driver->log()->calls) attempts += call.name == "createDevice";
        EXPECT_EQ(attempts, c.attempts);
        EXPECT_EQ(driver->log()->calls.back().result, c.expected ? OK : ERR_NOTAVAILABLE);
        safeRelease(device);
        driver->release();
    }
}

TEST(GfxRecording, LostFramesThenResettable) {
    FaultPlan plan;
    plan.lostAtPresent = 2;
    plan.lostFrames = 3;
    Fixture f(plan);
    RecordingDevice* d = f.device;
    EXPECT_EQ(d->testCooperativeLevel(), OK);
    EXPECT_EQ(d->present(), OK);
    EXPECT_EQ(d->present(), ERR_DEVICELOST);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(d->testCooperativeLevel(), ERR_DEVICELOST) << i;
    PresentParameters p = windowParams(1024, 768);
    d->setRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    d->setTextureStageState(0, TSS_MINFILTER, TEXF_LINEAR);
    EXPECT_EQ(d->testCooperativeLevel(), ERR_DEVICENOTRESET);
    EXPECT_EQ(d->testCooperativeLevel(), ERR_DEVICENOTRESET);
    EXPECT_EQ(d->reset(&p), OK);
    // Every state is back at its default.
    EXPECT_EQ(d->renderState(RS_DESTBLEND), BLEND_ZERO);
    EXPECT_EQ(d->stageState(0, TSS_MINFILTER), TEXF_POINT);
    EXPECT_EQ(d->testCooperativeLevel(), OK);
    EXPECT_EQ(d->present(), OK);
    // The new back buffer has the new size and the viewport covers it.
    ISurface* back = nullptr;
    ASSERT_EQ(d->getBackBuffer(0, &back), OK);
    SurfaceDesc desc;
    back->getDesc(&desc);
    EXPECT_EQ(desc.width, 1024u);
    EXPECT_EQ(desc.height, 768u);
    EXPECT_EQ(d->viewport().width, 1024u);
    back->release();
    EXPECT_TRUE(d->errors().empty());
}

TEST(GfxRecording, ResetRefusedWhileDefaultPoolObjectsLive) {
    Fixture f;
    RecordingDevice* d = f.device;
    PresentParameters p = windowParams();
    ITexture* managed = nullptr;
    ITexture* target = nullptr;
    IVertexBuffer* vb = nullptr;
    IIndexBuffer* ib = nullptr;
    ISurface* depth = nullptr;
    ASSERT_EQ(d->createTexture(64, 64, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &managed), OK);
    ASSERT_EQ(d->createTexture(64, 64, 1, USAGE_RENDERTARGET, FMT_X8R8G8B8, POOL_DEFAULT, &target), OK);
    ASSERT_EQ(d->createVertexBuffer(24 * 4000, USAGE_DYNAMIC, 0x142, POOL_DEFAULT, &vb), OK);
    ASSERT_EQ(d->createIndexBuffer(12000, USAGE_WRITEONLY, FMT_INDEX16, POOL_DEFAULT, &ib), OK);
    ASSERT_EQ(d->createDepthStencilSurface(64, 64, FMT_D24S8, 0, &depth), OK);
    // Bindings do not keep an object alive in the application's sense.
    d->setStreamSource(0, vb, 24);
    d->setIndices(ib, 0);
    d->setTexture(0, target);
    EXPECT_EQ(d->liveDefaultPoolObjects(), 4u);

    IResource** order[] = {reinterpret_cast<IResource**>(&target), reinterpret_cast<IResource**>(&vb),
                           reinterpret_cast<IResource**>(&ib), reinterpret_cast<IResource**>(&depth)};
    for (IResource** r : order) {
        EXPECT_EQ(d->reset(&p), ERR_INVALIDCALL);
        safeRelease(*r);
    }
    // A held back-buffer reference blocks it too, as the saved surfaces would.
    ISurface* saved = nullptr;
    d->getRenderTarget(&saved);
    EXPECT_EQ(d->reset(&p), ERR_INVALIDCALL);
    safeRelease(saved);
    EXPECT_EQ(d->reset(&p), OK);
    EXPECT_EQ(d->errors().size(), 5u);
    EXPECT_NE(d->errors()[0].find("default-pool"), std::string::npos);
    safeRelease(managed);  // managed textures survive resets
}

TEST(GfxRecording, DrawRules) {
    Fixture f;
    RecordingDevice* d = f.device;
    IVertexBuffer* vb = nullptr;
    IIndexBuffer* ib = nullptr;
    ASSERT_EQ(d->createVertexBuffer(24 * 16, USAGE_DYNAMIC, 0x142, POOL_DEFAULT, &vb), OK);
    ASSERT_EQ(d->createIndexBuffer(12, USAGE_WRITEONLY, FMT_INDEX16, POOL_DEFAULT, &ib), OK);
    d->setStreamSource(0, vb, 24);
    d->setIndices(ib, 0);

    EXPECT_EQ(d->drawPrimitive(PT_LINELIST, 0, 1), ERR_INVALIDCALL);  // outside a scene
    ASSERT_EQ(d->beginScene(), OK);
    EXPECT_EQ(d->beginScene(), ERR_INVALIDCALL);
    uint8_t* data = nullptr;
    ASSERT_EQ(vb->lock(0, 0, &data, LOCK_DISCARD), OK);
    EXPECT_EQ(d->drawIndexedPrimitive(PT_TRIANGLELIST, 0, 4, 0, 2), ERR_INVALIDCALL);  // locked
    EXPECT_EQ(vb->lock(0, 0, &data, 0), ERR_INVALIDCALL);                             // twice
    std::memset(data, 0xAB, 24);
    vb->unlock();
    EXPECT_EQ(d->drawIndexedPrimitive(PT_TRIANGLELIST, 0, 4, 0, 2), OK);
    EXPECT_EQ(d->endScene(), OK);
    EXPECT_EQ(d->endScene(), ERR_INVALIDCALL);
    EXPECT_EQ(d->drawCalls(), 1u);
    EXPECT_EQ(d->errors().size(), 5u);
    EXPECT_EQ((*recordedBytes(vb))[23], 0xAB);
    // Lock ranges are checked.
    EXPECT_EQ(vb->lock(24 * 16, 1, &data, 0), ERR_INVALIDCALL);
    safeRelease(vb);
    safeRelease(ib);
}

TEST(GfxRecording, CallsOffTheMainThreadAreErrors) {
    Fixture f;
    RecordingDevice* d = f.device;
    Result r = OK;
    std::thread t([&] { r = d->setRenderState(RS_LIGHTING, 0); });
    t.join();
    EXPECT_EQ(r, ERR_INVALIDCALL);
    ASSERT_EQ(d->errors().size(), 1u);
    EXPECT_NE(d->errors()[0].find("main thread"), std::string::npos);
    EXPECT_EQ(d->renderState(RS_LIGHTING), 1u);
}

TEST(GfxRecording, PlannedCreateAndLockFailures) {
    FaultPlan plan;
    plan.failCreate["texture"] = 1;
    plan.failCreate["vertexbuffer"] = -1;
    plan.failLock["texture"] = 1;
    Fixture f(plan);
    RecordingDevice* d = f.device;
    ITexture* t = nullptr;
    EXPECT_EQ(d->createTexture(4, 4, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &t), ERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(t, nullptr);
    ASSERT_EQ(d->createTexture(4, 4, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &t), OK);
    IVertexBuffer* vb = nullptr;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(d->createVertexBuffer(96, 0, 0, POOL_DEFAULT, &vb), ERR_OUTOFVIDEOMEMORY);
    LockedRect rect;
    EXPECT_EQ(t->lockRect(0, &rect, nullptr, 0), ERR_INVALIDCALL);
    ASSERT_EQ(t->lockRect(0, &rect, nullptr, LOCK_DISCARD), OK);
    EXPECT_EQ(rect.pitch, 16);
    static_cast<uint8_t*>(rect.bits)[16 * 3 + 15] = 0x42;
    EXPECT_EQ(t->unlockRect(0), OK);
    EXPECT_EQ((*recordedBytes(t, 0))[63], 0x42);  // bytes are kept
    t->release();
}

TEST(GfxRecording, NoShaderSupport) {
    FaultPlan plan;
    plan.noShaders = true;
    Fixture f(plan);
    Caps caps;
    ASSERT_EQ(f.device->getDeviceCaps(&caps), OK);
    EXPECT_LT(caps.pixelShaderVersion, psVersion(1, 4));
    EXPECT_LT(caps.vertexShaderVersion, vsVersion(1, 1));
    ShaderCode code;
    code.pixel = true;
    uint32_t handle = 0;
    EXPECT_EQ(f.device->createPixelShader(&code, &handle), ERR_INVALIDCALL);

    Fixture g;
    ASSERT_EQ(g.device->getDeviceCaps(&caps), OK);
    EXPECT_GE(caps.pixelShaderVersion, 0xFFFF0104u);
    EXPECT_GE(caps.vertexShaderVersion, 0xFFFE0101u);
    ASSERT_EQ(g.device->createPixelShader(&code, &handle), OK);
    EXPECT_EQ(handle & 1u, 0u);
    ShaderCode vs;
    const uint32_t decl[] = {vsdStream(0), vsdReg(0, VSDT_FLOAT3), vsdReg(1, VSDT_D3DCOLOR), vsdReg(2, VSDT_FLOAT2),
                             VSD_END};
    EXPECT_EQ(decl[1], 0x40020000u);
    EXPECT_EQ(decl[2], 0x40040001u);
    uint32_t vsHandle = 0;
    ASSERT_EQ(g.device->createVertexShader(decl, &vs, &vsHandle, 0), OK);
    EXPECT_EQ(vsHandle & 1u, 1u);  // never mistaken for a vertex format
    EXPECT_EQ(g.device->setVertexShader(0x142), OK);
    EXPECT_EQ(g.device->setVertexShader(vsHandle), OK);
    EXPECT_EQ(g.device->setVertexShader(vsHandle + 2), ERR_INVALIDCALL);
}

TEST(GfxRecording, RenderTargetResetsViewport) {
    Fixture f;
    RecordingDevice* d = f.device;
    ITexture* target = nullptr;
    ASSERT_EQ(d->createTexture(128, 64, 1, USAGE_RENDERTARGET, FMT_X8R8G8B8, POOL_DEFAULT, &target), OK);
    ISurface* level = nullptr;
    ASSERT_EQ(target->getSurfaceLevel(0, &level), OK);
    Viewport v;
    v.x = 5;
    v.width = 10;
    v.height = 10;
    d->setViewport(&v);
    ASSERT_EQ(d->setRenderTarget(level, nullptr), OK);
    EXPECT_EQ(d->viewport().x, 0u);
    EXPECT_EQ(d->viewport().width, 128u);
    EXPECT_EQ(d->viewport().height, 64u);
    // A default-pool render target cannot be locked.
    LockedRect rect;
    EXPECT_EQ(target->lockRect(0, &rect, nullptr, 0), ERR_INVALIDCALL);
    // The level surface outlives the application's references while bound.
    level->release();
    target->release();
    ISurface* current = nullptr;
    ASSERT_EQ(d->getRenderTarget(&current), OK);
    SurfaceDesc desc;
    current->getDesc(&desc);
    EXPECT_EQ(desc.width, 128u);
    current->release();
}

TEST(GfxRecording, InstalledFactory) {
    FaultPlan plan;
    plan.failDisplayMode = true;
    useRecordingDriver(plan);
    IDriver* driver = createDriver(SDK_VERSION);
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(lastRecordingDriver(), driver);
    DisplayMode mode;
    EXPECT_EQ(driver->getAdapterDisplayMode(0, &mode), ERR_INVALIDCALL);
    driver->release();
    EXPECT_EQ(lastRecordingDriver(), nullptr);
    setDriverFactory(nullptr);
}

}  // namespace
