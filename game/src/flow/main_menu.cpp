#include "flow/main_menu.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "application.h"
#include "flow/application_start.h"
#include "dialogs/dialog_window.h"
#include "dialogs/confirm_window.h"
#include "dialogs/cutscenes_window.h"
#include "dialogs/dialog_window_manager.h"
#include "dialogs/options_window.h"
#include "format_string.h"
#include "function.h"
#include "player/game_properties.h"
#include "flow/game_state_manager.h"
#include "input_manager.h"
#include "job_manager.h"
#include "flow/layout_markers.h"
#include "lex_binded_function_manager.h"
#include "lex_binder.h"
#include "log_system.h"
#include "flow/mesh_scene_node.h"
#include "board/mode.h"
#include "social/facebook_integration.h"
#include "social/facebook_message.h"
#include "social/facebook_message_dispatcher.h"
#include "social/facebook_message_wnd.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_widget.h"

namespace {

constexpr uint8_t kEscapeKey = 0x1B;

QV::UIManager* ui() { return QV::Singleton<QV::UIManager>::instancePointer(); }

}  // namespace

MainMenu::MainMenu() {
    if (FacebookMessageDispatcher* dispatcher = FacebookMessageDispatcher::instancePointer())
        dispatcher->addListener(this);
}

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
    onActivate();
    setLoaded(true);
    QV::logLine("void MainMenu::initialize() -end");
}

void MainMenu::bindCommands() {
    QV::LexBindedFunctionManager* commands = QV::Singleton<QV::LexBindedFunctionManager>::instance();
    commands->registerBinder("exit", new QV::LexBinder<MainMenu>(this, &MainMenu::showExitQuestion));
    commands->registerBinder("activateMode", new QV::LexBinder1<std::string, MainMenu>(this, &MainMenu::activateMode));
    commands->registerBinder("showOptions", new QV::LexBinder<MainMenu>(this, &MainMenu::showOptions));
    commands->registerBinder("connectFacebook", new QV::LexBinder<MainMenu>(this, &MainMenu::connectFacebook));
    commands->registerBinder("showPartner", new QV::LexBinder<MainMenu>(this, &MainMenu::showPartner));
}

void MainMenu::unbindCommands() {
    QV::LexBindedFunctionManager* commands = QV::Singleton<QV::LexBindedFunctionManager>::instancePointer();
    if (!commands) return;
    // "showPartner" stays: its first binding does nothing with this state.
    for (const char* name : {"exit", "activateMode", "showOptions", "connectFacebook"}) commands->unregisterBinder(name);
}

AE::ISceneNode* MainMenu::getInterfaceScene() const {
    if (!mInterface) return nullptr;
    QV::UIWidget* gui = mInterface->findChild("gui");
    if (!gui || gui->getType() != QV::kUISceneNode) return nullptr;
    return static_cast<QV::UISceneNode*>(gui)->getNode();
}

void MainMenu::attachMeshes() { replaceMeshPlaceholders(getInterfaceScene()); }

void MainMenu::onActivate() {
    if (mInterface) return;
    bindCommands();
    if (QV::UIManager* manager = ui()) mInterface = manager->loadUI("main_menu_ui", "MainMenu", nullptr, "default");
    attachMeshes();
    if (mInterface) mInterface->show();
    FacebookIntegration* social = FacebookIntegration::instancePointer();
    setSocialButtonVisible(social && !social->sessionOpen);
    if (social && ui()) mConnectionWindow = new FacebookMessageWnd();
    ConfirmWindow* exitWindow = new ConfirmWindow("ExitQuestionWindow", "exit_question_window_ui");
    exitWindow->addListener(this);
    mExitWindow = exitWindow;
    mAuthorsWindow = new CutscenesWindow();
    if (QV::UIWidget* authors = mInterface ? mInterface->findChild("btnAuthors") : nullptr)
        authors->connect("clicked", new QV::Function<MainMenu>(this, &MainMenu::showAuthors));
    if (AE::ISceneNode* scene = getInterfaceScene()) {
        if (AE::ISceneNode* version = scene->findNode("#version"); version && version->getType() == AE::kTextNode)
            static_cast<AE::TextSceneNode*>(version)->setText(getVersionString());
    }
    GameStateManager* states = QV::Singleton<GameStateManager>::instancePointer();
    onOrientationChanged(states ? states->getOrientation() : 0);
    if (AE::ISceneNode* scene = getInterfaceScene()) {
        for (const char* name : {"#copyright", "#btnPartner"})
            if (AE::ISceneNode* node = scene->findNode(name)) node->setEnabled(false);
    }
}

void MainMenu::unload() {
    hideWindowsForcibly();
    if (QV::UIManager* manager = ui()) {
        if (mInterface) manager->destroyWidget(mInterface);
    }
    mInterface = nullptr;
    unbindCommands();
    delete mExitWindow;
    mExitWindow = nullptr;
    delete mAuthorsWindow;
    mAuthorsWindow = nullptr;
    delete mConnectionWindow;
    mConnectionWindow = nullptr;
    setLoaded(false);
}

void MainMenu::onDeactivate() {
    if (isLoaded()) unload();
}

void MainMenu::update(float) {
    if (!isLoaded()) return;
    QV::InputManager* input = QV::Singleton<QV::InputManager>::instancePointer();
    const QV::KeyboardDevice* keyboard = input ? input->getKeyboard() : nullptr;
    if (keyboard && keyboard->isKeyReleased(kEscapeKey)) showExitQuestion();
}

void MainMenu::render() {
    if (!isLoaded()) return;
    if (QV::UIManager* manager = ui()) manager->draw();
}

void MainMenu::onOrientationChanged(int) {
    if (!mInterface) return;
    if (mInterface->getType() == QV::kUISceneNode)
        adaptSceneLayout(static_cast<QV::UISceneNode*>(mInterface)->getNode());
    for (QV::UIWidget* child : mInterface->mChildren) adaptWidgetLayout(child);
}

void MainMenu::onWindowClosed(DialogWindow* window) {
    if (window != mExitWindow || window->mResult != 0) return;
    QV::logLine("MainMenu: exit accepted");
    if (gApplication) gApplication->exit();
}

void MainMenu::showExitQuestion() {
    if (mExitWindow) mExitWindow->show(true);
}

void MainMenu::activateMode(std::string name) {
    GameProperties* properties = GameProperties::instancePointer();
    Mode* mode = properties ? properties->findMode(name) : nullptr;
    if (!mode) {
        QV::logLine(QV::formatString("WARNING: activateMode: no game mode named '%s'", name.c_str()));
        return;
    }
    mode->activate();
}

void MainMenu::showAuthors() {
    if (mAuthorsWindow) mAuthorsWindow->show(true);
}

void MainMenu::showOptions() {
    if (OptionsWindow* options = OptionsWindow::instancePointer()) options->open();
}

void MainMenu::connectFacebook() {
    FacebookIntegration* social = FacebookIntegration::instancePointer();
    if (!social || social->sessionOpen) return;
    setSocialButtonVisible(false);
    if (mConnectionWindow) {
        mConnectionWindow->enterWaiting();
        mConnectionWindow->show(false);
    }
    social->openSession();
}

void MainMenu::onMessage(const FacebookMessage& message) {
    if (message.mKind == FacebookMessage::SessionOpened) setSocialButtonVisible(false);
    if (message.mKind == FacebookMessage::SessionClosed || message.mKind == FacebookMessage::SessionFailed)
        setSocialButtonVisible(true);
}

void MainMenu::showPartner() {}

void MainMenu::setSocialButtonVisible(bool visible) {
    if (!mInterface) return;
    QV::UIWidget* button = mInterface->findChild("btnFacebook");
    AE::ISceneNode* scene = getInterfaceScene();
    AE::ISceneNode* background = scene ? scene->findNode("s_bt_f_pdloja_bkg_psd") : nullptr;
    if (!button || !background) return;
    button->setVisible(visible);
    background->setEnabled(visible);
}
