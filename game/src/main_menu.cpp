#include "main_menu.h"

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "function.h"
#include "job_manager.h"
#include "layout_markers.h"
#include "log_system.h"

MainMenu::~MainMenu() { unload(); }

void MainMenu::load() {
    QV::logLine("MainMenu::load");
    initializeAsync();
}

void MainMenu::initializeAsync() {
    QV::logLine("void MainMenu::initializeAsync() -begin");
    QV::Job* job = QV::Singleton<QV::JobManager>::instance()->addJob(new QV::Function<MainMenu>(this, &MainMenu::initialize));
    if (job && !job->isStarted()) job->start();
    QV::logLine("void MainMenu::initializeAsync() -end");
}

void MainMenu::initialize() {
    QV::logLine("void MainMenu::initialize() -begin");
    mScene = AE::loadScene("main_menu_scene_xml");
    if (mScene) {
        mScene->play(true);
        adaptSceneLayout(mScene);
    }
    onActivate();
    QV::logLine("void MainMenu::initialize() -end");
    setLoaded(true);
}

void MainMenu::unload() {
    delete mScene;
    mScene = nullptr;
    setLoaded(false);
}

void MainMenu::onActivate() {}

void MainMenu::onDeactivate() { unload(); }

void MainMenu::update(float dt) {
    if (mScene) mScene->update(dt);
}

void MainMenu::render() {
    if (mScene) AE::drawScene(mScene);
}

void MainMenu::onOrientationChanged(int) {
    if (mScene) adaptSceneLayout(mScene);
}
