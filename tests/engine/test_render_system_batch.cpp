#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "platform/gfx/recording_driver.h"
#include "render_system.h"
#include "support/render_fixture.h"
#include "texture.h"
#include "texture_manager.h"

namespace {

using QV::Gfx::RecordedCall;
using QV::Gfx::RecordingDevice;
using Quad = std::unique_ptr<QV::RenderData>;

class RenderBatch : public testing::Test {
protected:
    void SetUp() override {
        QV::Gfx::useRecordingDriver();
        engine = std::make_unique<qvtest::RenderEngine>();
        render = engine->createRenderSystem();
        ASSERT_TRUE(render->createDevice(nullptr));
        device = QV::Gfx::lastRecordingDriver()->lastDevice();
        atlas = texture();
        other = texture();
        engine->textures().update();  // uploads both
        render->beginFrame();
        device->clearCalls();
    }
    void TearDown() override {
        engine.reset();
        QV::Gfx::setDriverFactory(nullptr);
    }
    // A texture of the manager with a reference of the test's own.
    QV::Texture* texture() {
        QV::Texture* t = engine->textures().createEmptyTexture(4, 4, QV::TF_A8R8G8B8);
        t->incRefCount();
        return t;
    }
    Quad textured(int quads, QV::Texture* texture, uint32_t argb = 0xFFFFFFFF) {
        Quad q(qvtest::makeQuads(quads, 0, 0, 4, 4, argb));
        q->addTexture(texture);
        return q;
    }
    std::vector<RecordedCall> draws() const {
        std::vector<RecordedCall> out;
        for (const auto& call : device->calls()) {
            if (call.name == "drawIndexedPrimitive" || call.name == "drawPrimitive") out.push_back(call);
        }
        return out;
    }
    int count(const std::string& name) const {
        int n = 0;
        for (const auto& call : device->calls()) n += call.name == name ? 1 : 0;
        return n;
    }

    std::unique_ptr<qvtest::RenderEngine> engine;
    QV::RenderSystem* render = nullptr;
    RecordingDevice* device = nullptr;
    QV::Texture* atlas = nullptr;
    QV::Texture* other = nullptr;
};

TEST_F(RenderBatch, ThousandQuadsMakeOneDrawCall) {
    Quad quad = textured(1, atlas);
    for (int i = 0; i < 1000; ++i) render->draw(quad.get());
    EXPECT_TRUE(draws().empty());
    EXPECT_EQ(render->getBatchVertexCount(), 4000u);
    render->draw(quad.get());  // the 1,001st flushes first
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_EQ(draws()[0].args, (std::vector<uint64_t>{QV::Gfx::PT_TRIANGLELIST, 0, 4000, 0, 2000}));
    EXPECT_EQ(render->getDrawCalls(), 1u);
    EXPECT_EQ(render->getTrianglesDrawn(), 2000u);
    EXPECT_EQ(render->getBatchVertexCount(), 4u);
}

TEST_F(RenderBatch, RecordFillingTheBufferExactlyJoinsOneMoreFlushes) {
    Quad big = textured(999, atlas);  // 3,996 vertices
    Quad one = textured(1, atlas);
    render->draw(big.get());
    render->draw(one.get());  // 4,000 exactly: joins
    EXPECT_TRUE(draws().empty());
    render->flush();
    render->draw(big.get());
    Quad two = textured(2, atlas);
    render->draw(two.get());  // 4,004: flushes first
    ASSERT_EQ(draws().size(), 2u);
    EXPECT_EQ(draws()[1].args[4], 2 * 999u);
}

TEST_F(RenderBatch, OversizedRecordIsDrawnInPiecesWithoutOverflow) {
    Quad huge = textured(1500, atlas);  // 6,000 vertices
    render->draw(huge.get());
    render->flush();
    ASSERT_EQ(draws().size(), 2u);
    EXPECT_EQ(draws()[0].args[4], 2000u);
    EXPECT_EQ(draws()[1].args[4], 1000u);
    EXPECT_TRUE(device->errors().empty()) << device->errors().front();
}

TEST_F(RenderBatch, SkippedRecords) {
    render->setStatisticsEnabled(true);
    Quad invisible = textured(1, atlas, 0x00FFFFFF);
    render->draw(invisible.get());
    EXPECT_EQ(render->getBatchVertexCount(), 0u);
    EXPECT_FLOAT_EQ(render->getPixelArea(), 16.0f);  // still counted

    QV::Texture* waiting = texture();  // not uploaded before the frame ends
    ASSERT_FALSE(waiting->isUploaded());
    Quad pending = textured(1, waiting);
    render->draw(pending.get());
    QV::RenderData empty;
    render->draw(&empty);
    render->draw(nullptr);
    EXPECT_EQ(render->getBatchVertexCount(), 0u);
    render->flush();
    EXPECT_TRUE(draws().empty());
    EXPECT_EQ(count("setTexture"), 0);
}

TEST_F(RenderBatch, StateChangesBreakTheBatch) {
    Quad a = textured(1, atlas);
    Quad sameAgain = textured(1, atlas);
    Quad otherTexture = textured(1, other);
    Quad added = textured(1, other);
    added->mBlendMode = 2;
    Quad clamped = textured(1, other);
    clamped->mBlendMode = 2;
    clamped->mAddressMode = 2;
    Quad lines = textured(1, other);
    lines->mBlendMode = 2;
    lines->mAddressMode = 2;
    lines->mPrimitiveKind = 1;
    for (QV::RenderData* q : {a.get(), sameAgain.get(), otherTexture.get(), added.get(), clamped.get(), lines.get()})
        render->draw(q);
    render->flush();
    ASSERT_EQ(draws().size(), 5u);
    EXPECT_EQ(draws()[4].name, "drawPrimitive");
    EXPECT_EQ(draws()[4].args, (std::vector<uint64_t>{QV::Gfx::PT_LINELIST, 0, 2}));
    EXPECT_EQ(device->renderState(QV::Gfx::RS_DESTBLEND), QV::Gfx::BLEND_ONE);
    EXPECT_EQ(device->stageState(0, QV::Gfx::TSS_ADDRESSU), QV::Gfx::TADDRESS_CLAMP);
    EXPECT_EQ(device->stageState(0, QV::Gfx::TSS_ADDRESSW), QV::Gfx::TADDRESS_CLAMP);
}

TEST_F(RenderBatch, UntexturedRecordsNeverShareABatch) {
    Quad plain(qvtest::makeQuad(0, 0, 4, 4, 0xFFFFFFFF));
    Quad textureThenPlain = textured(1, atlas);
    render->draw(textureThenPlain.get());
    render->draw(plain.get());
    render->draw(plain.get());
    render->flush();
    EXPECT_EQ(draws().size(), 3u);
    EXPECT_EQ(device->texture(0), nullptr);
}

TEST_F(RenderBatch, UnknownBlendModeBreaksBatchButKeepsDeviceBlend) {
    Quad alpha = textured(1, atlas);
    Quad odd = textured(1, atlas);
    odd->mBlendMode = 3;
    render->draw(alpha.get());
    render->draw(odd.get());
    render->flush();
    EXPECT_EQ(draws().size(), 2u);
    EXPECT_EQ(device->renderState(QV::Gfx::RS_DESTBLEND), QV::Gfx::BLEND_INVSRCALPHA);
}

TEST_F(RenderBatch, FirstRecordOfAFrameSetsItsOwnBlendMode) {
    // The last batch of a frame leaves "alpha" on the device while the
    // mirror is reset to "color": the next frame's "color" record must
    // still set its factor.
    Quad alpha = textured(1, atlas);
    render->draw(alpha.get());
    render->endFrame();
    render->beginFrame();
    Quad color = textured(1, atlas);
    color->mBlendMode = 1;
    device->clearCalls();
    render->draw(color.get());
    render->flush();
    EXPECT_EQ(device->renderState(QV::Gfx::RS_DESTBLEND), QV::Gfx::BLEND_INVSRCCOLOR);
    ASSERT_EQ(draws().size(), 1u);
}

TEST_F(RenderBatch, EmptyFlushLeavesTheBufferAlone) {
    render->flush();
    EXPECT_TRUE(device->calls().empty());
}

TEST_F(RenderBatch, CameraChangesFlush) {
    Quad quad = textured(1, atlas);
    QV::Camera plain;
    plain.x = 5;
    render->draw(quad.get());
    render->setCamera(plain);
    render->draw(quad.get());
    render->setCamera(plain);  // unchanged: no flush
    QV::Camera matrix;
    matrix.useMatrix = 1;
    render->setCamera(matrix);
    render->draw(quad.get());
    render->setCamera(matrix);  // a matrix camera always counts as changed
    EXPECT_EQ(draws().size(), 3u);
}

TEST_F(RenderBatch, StencilAndColourMask) {
    Quad quad = textured(1, atlas);
    render->draw(quad.get());
    render->clearStencil();  // no flush before it: the pending quad draws after
    render->setColorWriteMask(true, true, true, false);
    std::vector<std::string> order;
    for (const auto& call : device->calls()) {
        if (call.name == "clear" || call.name == "drawIndexedPrimitive") order.push_back(call.name);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"clear", "drawIndexedPrimitive"}));
    EXPECT_EQ(device->renderState(QV::Gfx::RS_COLORWRITEENABLE), 7u);
    const uint8_t* saved = render->getSavedColorWriteMask();
    EXPECT_EQ(std::vector<int>(saved, saved + 4), (std::vector<int>{1, 1, 1, 1}));
    const uint8_t* mask = render->getColorWriteMask();
    EXPECT_EQ(std::vector<int>(mask, mask + 4), (std::vector<int>{1, 1, 1, 0}));

    render->beginStencilWrite();
    EXPECT_EQ(device->renderState(QV::Gfx::RS_STENCILENABLE), 1u);
    EXPECT_EQ(device->renderState(QV::Gfx::RS_STENCILFUNC), QV::Gfx::CMP_ALWAYS);
    EXPECT_EQ(device->renderState(QV::Gfx::RS_STENCILPASS), QV::Gfx::STENCILOP_REPLACE);
    EXPECT_EQ(device->renderState(QV::Gfx::RS_COLORWRITEENABLE), 0u);
    EXPECT_EQ(std::vector<int>(saved, saved + 4), (std::vector<int>{1, 1, 1, 0}));
    render->beginStencilTest();
    EXPECT_EQ(device->renderState(QV::Gfx::RS_STENCILFUNC), QV::Gfx::CMP_EQUAL);
    EXPECT_EQ(device->renderState(QV::Gfx::RS_STENCILREF), 1u);
    render->endStencil();
    EXPECT_EQ(device->renderState(QV::Gfx::RS_STENCILENABLE), 0u);
}

TEST_F(RenderBatch, FadeOverlay) {
    struct Case {
        float fade;
        int draws;  // fade overlay plus the composite
    };
    for (const Case c : {Case{1.0f, 1}, Case{0.0f, 2}, Case{0.5f, 2}}) {
        device->clearCalls();
        render->setFade(c.fade);
        render->endFrame();
        EXPECT_EQ(static_cast<int>(draws().size()), c.draws) << c.fade;
        render->beginFrame();
    }
}

TEST_F(RenderBatch, VertexShaderForUnknownFormatIsFatal) {
    QV::ConfigManager::instance()->setVertexFormat(22);
    QV::VertexShader shader;
    EXPECT_EXIT(render->createVertexShader(&shader, "vs.1.1\nmov oPos, v0\n"), testing::ExitedWithCode(255),
                "Unknown vertex shader declaration!");
    QV::ConfigManager::instance()->setVertexFormat(21);
}

TEST_F(RenderBatch, ShaderProgramLifecycle) {
    QV::ShaderProgram program;
    EXPECT_EQ(render->createPixelShader(&program, "ps.1.4\nbogus r0\n"), 1);
    EXPECT_TRUE(engine->log().lines.back().rfind("ERROR: Failed to create pixel shader: ", 0) == 0);
    ASSERT_EQ(render->createPixelShader(&program, QV::RenderSystem::kDistortionPixelShader), 0);
    ASSERT_EQ(render->createVertexShader(&program.mVertexShader, "vs.1.1\nmov oPos, v0\n"), 0);
    EXPECT_EQ(render->bindShaderProgram(&program), 0);
    EXPECT_EQ(device->vertexShader(), program.mVertexShader.mHandle);
    EXPECT_EQ(device->pixelShader(), program.mPixelShaderHandle);
    EXPECT_EQ(render->unbindShaderProgram(), 0);
    EXPECT_EQ(device->pixelShader(), 0u);
    EXPECT_EQ(render->deleteShaderProgram(&program), 0);
    EXPECT_EQ(render->deleteShaderProgram(&program), 1);  // nothing left to delete
    EXPECT_EQ(render->deleteShaderProgram(nullptr), 1);
}

}  // namespace
