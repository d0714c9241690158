#include "game_application.h"

#include <algorithm>

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "config_manager.h"
#include "log_system.h"
#include "particle_system.h"
#include "render_system.h"
#include "timer_manager.h"
#include "ui/text_manager.h"
#include "ui/wide_string.h"
#include "xml_cached_files_manager.h"

GameApplication::GameApplication() {
    gApplication = this;
    QV::logLine("Application started");
    setWindowTitle(QV::toNarrow(QV::Singleton<QV::TextManager>::instance()->translate("APP_WINDOW_TITLE")));
    QV::Singleton<QV::ConfigManager>::instance()->setVertexFormat(21);
}

GameApplication::~GameApplication() {
    if (gApplication == this) gApplication = nullptr;
}

void GameApplication::create() {
    // The game's scenes take their sprites from the XML descriptions and loop their play ranges.
    AE::contentVersion = 1;
    // Scene particle nodes advance their own effects; switch the system's off before any loads.
    if (QV::ParticleSystem* particles = QV::Singleton<QV::ParticleSystem>::instancePointer())
        particles->setAutoUpdate(false);
    mLoadingScene = AE::loadScene("loading_scene_xml");
    if (mLoadingScene) mLoadingScene->play(true);
}

void GameApplication::destroy() {
    delete mLoadingScene;
    mLoadingScene = nullptr;
    QV::XmlCachedFilesManager::purge();
}

void GameApplication::updateLoading() {
    if (!mLoadingScene) return;
    // A long frame (a loading hitch) must not make the animation jump.
    const float delta = std::min(std::min(mTimerManager->getFrameDelta(), 0.1f), 0.033f);
    mLoadingScene->update(delta);
}

void GameApplication::renderLoading() {
    if (!mLoadingScene) {
        Application::renderLoading();
        return;
    }
    mRenderSystem->beginFrame();
    AE::drawScene(mLoadingScene);
    mRenderSystem->endFrame();
    if (mRenderSystem->present() != 0) mRenderSystem->setDeviceLost(true);
}

void GameApplication::update() {}

void GameApplication::render() {
    QV::RenderSystem* renderSystem = QV::Singleton<QV::RenderSystem>::instance();
    renderSystem->beginFrame();
    renderSystem->endFrame();
    if (renderSystem->present() != 0) renderSystem->setDeviceLost(true);
}
