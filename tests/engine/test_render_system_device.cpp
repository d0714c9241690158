#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine_notification_dispatcher.h"
#include "platform/gfx/recording_driver.h"
#include "render_system.h"
#include "texture_manager.h"
#include "support/render_fixture.h"

namespace {

using QV::Gfx::FaultPlan;
using QV::Gfx::RecordingDevice;

int textureNumber(const std::string& name) {
    const std::string prefix = "rendertexture";
    if (name.compare(0, prefix.size(), prefix) != 0) return -1;
    return std::stoi(name.substr(prefix.size()));
}

class CountingListener : public QV::NotificationListener {
public:
    void onNotification(QV::Notification* n) override {
        if (n->code == QV::kNotificationDeviceReset) ++resets;
    }
    int resets = 0;
};

class RenderDevice : public testing::Test {
protected:
    void start(const FaultPlan& plan = FaultPlan(), const qvtest::RenderSettings& settings = {}) {
        QV::Gfx::useRecordingDriver(plan);
        engine = std::make_unique<qvtest::RenderEngine>(settings);
        QV::EngineNotificationDispatcher::instance()->addListener(&listener);
        render = engine->createRenderSystem();
        ASSERT_TRUE(render->createDevice(nullptr));
        device = QV::Gfx::lastRecordingDriver()->lastDevice();
        ASSERT_NE(device, nullptr);
    }
    void TearDown() override {
        if (engine) QV::EngineNotificationDispatcher::instance()->removeListener(&listener);
        engine.reset();
        QV::Gfx::setDriverFactory(nullptr);
    }
    int countCalls(const std::string& name) const {
        int n = 0;
        for (const auto& call : device->calls()) n += call.name == name ? 1 : 0;
        return n;
    }
    // One frame as the game draws it: a quad, then present.
    void frame() {
        render->beginFrame();
        std::unique_ptr<QV::RenderData> quad(qvtest::makeQuad(0, 0, 8, 8, 0xFFFFFFFF));
        render->draw(quad.get());
        render->endFrame();
        if (render->present() != 0) render->setDeviceLost(true);
    }

    std::unique_ptr<qvtest::RenderEngine> engine;
    QV::RenderSystem* render = nullptr;
    RecordingDevice* device = nullptr;
    CountingListener listener;
};

TEST_F(RenderDevice, VertexProcessingFallbacks) {
    struct Case {
        bool refuseHardware, refuseMixed;
        uint32_t flags, usage;
        int errorLines;
    };
    const Case cases[] = {
        {false, false, QV::Gfx::CREATE_HARDWARE_VERTEXPROCESSING, 0, 0},
        {true, false, QV::Gfx::CREATE_MIXED_VERTEXPROCESSING, 0, 1},
        {true, true, QV::Gfx::CREATE_SOFTWARE_VERTEXPROCESSING, 16, 2},
    };
    const std::string hardwareLine =
        "ERROR: Failed to create d3d device with D3DCREATE_HARDWARE_VERTEXPROCESSING, trying "
        "D3DCREATE_MIXED_VERTEXPROCESSING";
    const std::string mixedLine =
        "ERROR: Failed to create d3d device with D3DCREATE_MIXED_VERTEXPROCESSING, trying "
        "D3DCREATE_SOFTWARE_VERTEXPROCESSING";
    for (const Case& c : cases) {
        FaultPlan plan;
        plan.refuseHardwareVertexProcessing = c.refuseHardware;
        plan.refuseMixedVertexProcessing = c.refuseMixed;
        start(plan);
        EXPECT_EQ(device->behaviorFlags(), c.flags);
        EXPECT_EQ(render->getVertexUsage(), c.usage);
        EXPECT_EQ(engine->log().count(hardwareLine) + engine->log().count(mixedLine), c.errorLines);
        EXPECT_TRUE(engine->log().has("Resetting done."));
        EXPECT_TRUE(device->errors().empty()) << device->errors().front();
        TearDown();
    }
}

TEST_F(RenderDevice, CapabilitiesAreLogged) {
    start();
    const std::vector<std::string> expected = {"Device Capabilities...", "  Pixel Shader 1.4: SUPPORTED",
                                               "  Vertex Shader 1.1: SUPPORTED", "  MaxTextureWidth: 4096",
                                               "  MaxTextureHeight: 4096"};
    auto& lines = engine->log().lines;
    auto at = std::search(lines.begin(), lines.end(), expected.begin(), expected.end());
    EXPECT_NE(at, lines.end());
    EXPECT_TRUE(render->isPixelShaderSupported());
    EXPECT_TRUE(render->isVertexShaderSupported());
}

TEST_F(RenderDevice, NoShaderSupportMeansNoDistortion) {
    FaultPlan plan;
    plan.noShaders = true;
    start(plan);
    EXPECT_TRUE(engine->log().has("WARNING! Pixel Shader 1.4 is not supported"));
    EXPECT_TRUE(engine->log().has("WARNING! Vertex Shader 1.1 is not supported"));
    EXPECT_TRUE(engine->log().has("  Pixel Shader 1.4: NOT SUPPORTED"));
    EXPECT_EQ(render->createDistortionProgram(QV::RenderSystem::kDistortionPixelShader), 1);
    EXPECT_EQ(render->getDistortionProgram()->mUsable, 0);

    device->clearCalls();
    render->beginFrame();
    render->beginDistortion();  // does nothing: draws stay in the scene
    std::unique_ptr<QV::RenderData> quad(qvtest::makeQuad(0, 0, 8, 8, 0xFF808080));
    render->draw(quad.get());
    render->endDistortion();
    render->endFrame();
    for (const auto& call : device->calls()) {
        EXPECT_NE(call.name, "setPixelShader") << "composite must not use a shader";
        if (call.name == "clear") {
            EXPECT_NE(call.args[1], 0x007F7FFFu);
        }
    }
    EXPECT_EQ(countCalls("setRenderTarget"), 2);  // the scene, then the back buffer
}

TEST_F(RenderDevice, DistortionProgramAssemblesAndComposites) {
    start();
    ASSERT_EQ(render->createDistortionProgram(QV::RenderSystem::kDistortionPixelShader), 0);
    EXPECT_EQ(render->getDistortionProgram()->mUsable, 1);
    device->clearCalls();
    render->beginFrame();
    render->beginDistortion();
    render->beginDistortion();  // cleared once per frame
    std::unique_ptr<QV::RenderData> quad(qvtest::makeQuad(0, 0, 8, 8, 0xFF808080));
    render->draw(quad.get());
    render->endDistortion();
    render->endFrame();
    int distortionClears = 0;
    for (const auto& call : device->calls()) {
        if (call.name == "clear" && call.args[1] == 0x007F7FFFu) ++distortionClears;
    }
    EXPECT_EQ(distortionClears, 1);
    EXPECT_EQ(countCalls("setPixelShader"), 2);  // bound for the composite, then unbound
    EXPECT_TRUE(device->errors().empty());
}

TEST_F(RenderDevice, AllThreeRefusedIsFatal) {
    FaultPlan plan;
    plan.refuseHardwareVertexProcessing = plan.refuseMixedVertexProcessing = true;
    plan.refuseSoftwareVertexProcessing = true;
    EXPECT_EXIT(start(plan), testing::ExitedWithCode(255), "ERROR! Failed to create DirectX device.");
}

TEST_F(RenderDevice, FailuresDuringCreationAndResetAreFatal) {
    struct Case {
        const char* name;
        FaultPlan plan;
        const char* text;
    };
    std::vector<Case> cases(6);
    cases[0] = {"display mode", {}, "Failed to get adapter display mode"};
    cases[0].plan.failDisplayMode = true;
    cases[1] = {"vertex buffer", {}, "Failed to create DirectX Vertex Buffer"};
    cases[1].plan.failCreate["vertexbuffer"] = 1;
    cases[2] = {"index buffer", {}, "Failed to create DirectX Index Buffer"};
    cases[2].plan.failCreate["indexbuffer"] = 1;
    cases[3] = {"index lock", {}, "Failed to lock DirectX Index Buffer"};
    cases[3].plan.failLock["indexbuffer"] = 1;
    cases[4] = {"reset", {}, "Failed to reset DX8 device."};
    cases[4].plan.resetResults = {QV::Gfx::ERR_INVALIDCALL};
    cases[5] = {"render texture", {}, "Failed to create render texture"};
    cases[5].plan.failCreate["texture"] = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(start(c.plan), testing::ExitedWithCode(255), c.text);
    }
}

TEST_F(RenderDevice, ResetBuildsBuffersAndRenderTextures) {
    qvtest::RenderSettings settings;
    settings.workspaceWidth = 64;
    settings.workspaceHeight = 32;
    settings.windowWidth = 48;
    settings.windowHeight = 40;
    start(FaultPlan(), settings);
    // Names count over the process: two consecutive numbers per reset.
    const std::vector<std::string> names = engine->renderTextureNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(textureNumber(names[1]), textureNumber(names[0]) + 1);
    EXPECT_EQ(engine->textures().findTexture("default", names[0]), render->getSceneTexture().managed);
    EXPECT_EQ(engine->textures().findTexture("default", names[1]), render->getDistortionTexture().managed);
    // Render textures take min(workspace, window) per axis.
    EXPECT_EQ(render->getSceneTexture().width, 48u);
    EXPECT_EQ(render->getSceneTexture().height, 32u);

    QV::RenderDeviceDX8* record = render->getDeviceRecord();
    const std::vector<uint8_t>* indexBytes = QV::Gfx::recordedBytes(record->indexBuffer);
    ASSERT_NE(indexBytes, nullptr);
    ASSERT_EQ(indexBytes->size(), 12000u);
    const uint16_t* indices = reinterpret_cast<const uint16_t*>(indexBytes->data());
    const std::vector<uint16_t> last(indices + 6 * 999, indices + 6 * 1000);
    EXPECT_EQ(last, (std::vector<uint16_t>{3996, 3997, 3998, 3998, 3999, 3996}));
    const std::vector<uint8_t>* vertexBytes = QV::Gfx::recordedBytes(record->vertexBuffer);
    ASSERT_NE(vertexBytes, nullptr);
    EXPECT_EQ(vertexBytes->size(), 24u * 4000u);
    QV::Gfx::SurfaceDesc depth;
    record->depthStencilSurface->getDesc(&depth);
    EXPECT_EQ(depth.width, 64u);
    EXPECT_EQ(depth.height, 32u);
    EXPECT_EQ(depth.format, QV::Gfx::FMT_D24S8);
    EXPECT_EQ(device->renderState(QV::Gfx::RS_ALPHAREF), 1u);
    EXPECT_EQ(device->renderState(QV::Gfx::RS_DESTBLEND), QV::Gfx::BLEND_INVSRCALPHA);
    EXPECT_EQ(listener.resets, 1);
}

TEST_F(RenderDevice, LostDeviceSequence) {
    FaultPlan plan;
    plan.lostAtPresent = 1;
    plan.lostFrames = 2;
    start(plan);
    frame();  // presents, goes lost
    EXPECT_TRUE(render->isDeviceLost());
    device->clearCalls();
    const int resetsBefore = listener.resets;
    const std::vector<std::string> before = engine->renderTextureNames();

    frame();
    frame();  // two frames still lost: nothing drawn
    EXPECT_EQ(engine->log().count("DEVICE LOST!"), 2);
    EXPECT_EQ(countCalls("beginScene"), 0);
    EXPECT_EQ(countCalls("drawIndexedPrimitive"), 0);
    EXPECT_EQ(countCalls("reset"), 0);

    frame();  // resettable: one reset, then the frame draws
    EXPECT_EQ(engine->log().count("DEVICE LOST!"), 3);
    EXPECT_EQ(countCalls("reset"), 1);
    EXPECT_EQ(listener.resets - resetsBefore, 1);
    EXPECT_FALSE(render->isDeviceLost());
    EXPECT_EQ(countCalls("beginScene"), 1);
    EXPECT_EQ(countCalls("drawIndexedPrimitive"), 2);  // the quad and the composite
    // New render textures under new names; the old ones left the tables.
    const std::vector<std::string> after = engine->renderTextureNames();
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(textureNumber(after[2]), textureNumber(before[0]) + 2);
    EXPECT_EQ(engine->textures().findTexture("default", after[2]), render->getSceneTexture().managed);
    EXPECT_EQ(engine->textures().findTexture("default", before[0]), nullptr);
    EXPECT_EQ(engine->textures().findTexture("default", before[1]), nullptr);

    frame();
    EXPECT_EQ(engine->log().count("DEVICE LOST!"), 3);
    EXPECT_TRUE(device->errors().empty()) << device->errors().front();
}

TEST_F(RenderDevice, DeviceThatWorksAgainIsNoLongerReportedLost) {
    start();
    render->setDeviceLost(true);  // a caller's report, but the device answers OK
    frame();
    frame();
    EXPECT_EQ(engine->log().count("DEVICE LOST!"), 1);
    EXPECT_FALSE(render->isDeviceLost());
    EXPECT_EQ(countCalls("beginScene"), 2);
}

TEST_F(RenderDevice, ResizedWindowResetsToNewBackBuffer) {
    start();
    frame();
    engine->window().clientWidth = 100;
    engine->window().clientHeight = 50;
    device->clearCalls();
    frame();
    EXPECT_EQ(countCalls("reset"), 1);
    EXPECT_EQ(device->presentParameters().backBufferWidth, 100u);
    EXPECT_EQ(device->presentParameters().backBufferHeight, 50u);
    QV::Gfx::SurfaceDesc depth;
    render->getDeviceRecord()->depthStencilSurface->getDesc(&depth);
    EXPECT_EQ(depth.width, 64u);  // the workspace size stays
    EXPECT_TRUE(device->errors().empty()) << device->errors().front();
}

// Dragging a window edge sends many size changes between two frames: the
// device is reset once, when the next frame begins, at the last size, with
// one reset notification; frames without a change reset nothing.
TEST_F(RenderDevice, ADraggedEdgeResetsOncePerFrameAtTheLastSize) {
    start();
    frame();
    const int before = listener.resets;
    device->clearCalls();
    for (int w = 70; w <= 120; w += 10) {
        engine->window().clientWidth = w;
        engine->window().clientHeight = w / 2;
    }
    frame();
    frame();
    EXPECT_EQ(countCalls("reset"), 1);
    EXPECT_EQ(listener.resets - before, 1);
    EXPECT_EQ(device->presentParameters().backBufferWidth, 120u);
    EXPECT_EQ(device->presentParameters().backBufferHeight, 60u);
}

}  // namespace
