// Starts the engine the way the game's entry point does, over the content in
// ./media/, and shows one of our scenes while a job runs, the way the game's
// loading update and render do:
//   scene_screen_prog loading <output.png>   the looping loading scene, 3 frames of 0.1 s
//   scene_screen_prog effect <output.png>    the effect scene's "init", 12 frames of 1/24 s
// Writes the window's pixels as a PNG; the effect run also prints the effect's
// live particle count and whether its sound is playing.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "animationeditor/particle_scene_node.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/sound_scene_node.h"
#include "application.h"
#include "flow/application_start.h"
#include "config_manager.h"
#include "file_system.h"
#include "function.h"
#include "image_encode.h"
#include "job.h"
#include "job_manager.h"
#include "memory_manager.h"
#include "particle_fx.h"
#include "platform/window.h"
#include "render_system.h"
#include "sound_system/sound_manager.h"
#include "support/render_host.h"

namespace {

std::atomic<bool> gCaptured{false};

void loadingJob() {
    while (!gCaptured.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// The game's loading branch: the scene advances by a fixed step and is drawn
// between beginFrame and endFrame.
class SceneApplication : public Application {
public:
    float step = 0.1f;
    std::unique_ptr<AE::ISceneNode> scene;

    void updateLoading() override {
        if (scene) scene->update(step);
    }
    void renderLoading() override {
        mRenderSystem->beginFrame();
        if (scene) AE::drawScene(scene.get());
        mRenderSystem->endFrame();
        if (mRenderSystem->present() != 0) mRenderSystem->setDeviceLost(true);
    }
};

int countLive(const QV::ParticleFX* effect) {
    int live = 0;
    for (const QV::ParticleEmitter* emitter : effect->mParticleEmitters) live += emitter->liveCount();
    return live;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: scene_screen_prog loading|effect <output.png>\n");
        return 2;
    }
    const std::string mode = argv[1];
    QV::gContentDirectory = "./media/";
    AE::contentVersion = 1;
    SceneApplication* application = new SceneApplication();
    gApplication = application;
    application->setRunning(false);
    QV::Platform::Window* window = createMainWindow(application, "scene screen");
    if (!window) {
        std::fprintf(stderr, "no window: %s\n", QV::Platform::Window::lastError().c_str());
        return 3;
    }
    startApplication(application);

    int frames = 3;
    if (mode == "loading") {
        application->scene.reset(AE::loadScene("loading_scene_xml"));
        if (application->scene) application->scene->play(true);
    } else {
        application->scene.reset(AE::loadScene("effect_scene_xml"));
        if (application->scene) application->scene->playMarker("init");
        application->step = 1.0f / 24.0f;
        frames = 12;
    }
    if (!application->scene) {
        std::fprintf(stderr, "scene did not load\n");
        return 5;
    }

    QV::Singleton<QV::JobManager>::instance()->addJob(new QV::Function<Application>(&loadingJob))->start();
    // The first frame uploads the pictures; the later ones show them.
    for (int frame = 0; frame < frames; ++frame) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        QV::Platform::WindowEvent event;
        while (window->pollEvent(event)) {
        }
        application->updateFrame();
        application->renderFrame();
    }
    if (mode == "effect") {
        auto* burst = dynamic_cast<AE::ParticleSceneNode*>(application->scene->findNode("burst"));
        auto* click = dynamic_cast<AE::SoundSceneNode*>(application->scene->findNode("click"));
        QV::SoundManager* sounds = QV::Singleton<QV::SoundManager>::instancePointer();
        std::printf("particles %d\n", burst && burst->mParticleFX ? countLive(burst->mParticleFX) : -1);
        std::printf("sound handle %d playing %d device %d\n", click ? click->mHandle : -1,
                    click && sounds ? int(sounds->isPlaying(click->mHandle)) : -1, sounds ? int(sounds->hasDevice()) : -1);
    }
    const bool saved = qvtest::saveWindowPicture(QV::RenderSystem::instance(), argv[2]);
    gCaptured = true;
    if (!saved) {
        std::fprintf(stderr, "read back failed\n");
        return 4;
    }
    application->scene.reset();
    application->exit();
}
