#include <gtest/gtest.h>

#include <vector>

#include "application.h"
#include "file_system.h"
#include "platform/gfx/recording_driver.h"
#include "render_system.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"

namespace {

// The game's side of the composite: what the two slots are handed, and what
// the device looks like while they run.
class SlotApplication : public Application {
public:
    void render() override {
        QV::RenderSystem* rs = QV::RenderSystem::instance();
        rs->beginFrame();
        rs->endFrame();
    }
    void drawUnderScene(float w, float h, float x, float y) override {
        under = {w, h, x, y};
        QV::Gfx::RecordingDevice* device = QV::Gfx::lastRecordingDriver()->lastDevice();
        QV::Gfx::ISurface* back = nullptr;
        device->getBackBuffer(0, &back);
        targetWasBackBuffer = device->renderTarget() == back;
        QV::Gfx::safeRelease(back);
        projection = device->transform(QV::Gfx::TS_PROJECTION);
    }
    void drawOverScene(float scale) override { overScale = scale; }

    std::vector<float> under;
    float overScale = 0.0f;
    bool targetWasBackBuffer = false;
    QV::Matrix4 projection{};
};

TEST(RenderSystemFrame, SlotsGetTheFitAndTheWindowTarget) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    qvtest::writeMedia(dir.file("media"), {});  // workspace 1280 x 720, fit 0
    QV::gContentDirectory = "./media/";
    QV::Gfx::useRecordingDriver();

    auto* app = new SlotApplication();
    app->getWindow()->clientWidth = 640;
    app->getWindow()->clientHeight = 480;
    app->initDevices();
    app->renderFrame();

    EXPECT_EQ(app->under, (std::vector<float>{640.0f, 360.0f, 0.0f, 60.0f}));
    EXPECT_FLOAT_EQ(app->overScale, 0.5f);
    EXPECT_TRUE(app->targetWasBackBuffer);
    // A window-sized projection: x maps 2 / 640 per pixel.
    EXPECT_NEAR(app->projection.m[0][0], 2.0f / 640.0f, 1e-6f);
    EXPECT_NEAR(app->projection.m[1][1], -2.0f / 480.0f, 1e-6f);  // y down

    app->shutDown();
    delete app;
    QV::Gfx::setDriverFactory(nullptr);
}

}  // namespace
