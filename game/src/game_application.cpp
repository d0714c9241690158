#include "game_application.h"

#include "config_manager.h"
#include "log_system.h"
#include "render_system.h"
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

void GameApplication::create() {}

void GameApplication::destroy() { QV::XmlCachedFilesManager::purge(); }

void GameApplication::update() {}

void GameApplication::render() {
    QV::RenderSystem* renderSystem = QV::Singleton<QV::RenderSystem>::instance();
    renderSystem->beginFrame();
    renderSystem->endFrame();
    if (renderSystem->present() != 0) renderSystem->setDeviceLost(true);
}
