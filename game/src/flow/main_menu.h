#pragma once

#include <string>

#include "dialogs/dialog_window_listener.h"
#include "flow/game_state.h"
#include "social/facebook_message_listener.h"

namespace AE {
class ISceneNode;
}
namespace QV {
class UIWidget;
}
class DialogWindow;
class FacebookMessageWnd;

// The main menu: its interface ("main_menu_ui") with the water of its lake,
// the commands its buttons run, the authors window, and the question before
// the program ends.
class MainMenu : public IGameState, public FacebookMessageListener, public DialogWindowListener {
public:
    MainMenu();
    ~MainMenu() override;

    void load() override;
    void unload() override;
    void update(float dt) override;
    void render() override;
    void onActivate() override;
    void onDeactivate() override;
    std::string getName() const override { return "MainMenu"; }
    void onOrientationChanged(int portrait) override;
    void onWindowClosed(DialogWindow* window) override;
    // Session opened: the connect button goes; closed or failed: it comes back.
    void onMessage(const FacebookMessage& message) override;

    // Commands.
    void showExitQuestion();
    void activateMode(std::string name);
    void showOptions();
    void connectFacebook();
    void showPartner();
    // The authors button.
    void showAuthors();

    void setSocialButtonVisible(bool visible);
    QV::UIWidget* getInterface() const { return mInterface; }
    AE::ISceneNode* getInterfaceScene() const;
    DialogWindow* getExitWindow() const { return mExitWindow; }
    DialogWindow* getAuthorsWindow() const { return mAuthorsWindow; }

private:
    void initializeAsync();
    // The job's build step.
    void initialize();
    void bindCommands();
    void unbindCommands();
    void attachMeshes();

    QV::UIWidget* mInterface = nullptr;  // owned by the UI manager
    DialogWindow* mExitWindow = nullptr;
    DialogWindow* mAuthorsWindow = nullptr;
    // The connection window the connect command shows (until the options window holds it).
    FacebookMessageWnd* mConnectionWindow = nullptr;
};
