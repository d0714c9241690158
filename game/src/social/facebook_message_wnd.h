#pragma once

#include <cstdint>

#include "dialogs/dialog_window.h"
#include "social/facebook_message_listener.h"

namespace AE {
class ISceneNode;
}
namespace QV {
class UIWidget;
}

enum FacebookMessageWndMode : int32_t {
    FacebookWndWaiting = 0,
    FacebookWndSuccess = 1,
    FacebookWndFailed = 2,
    FacebookWndClosed = 4,
};

// Shows how connecting to the social network goes (waiting, success, failed,
// connection closed) and carries the logout button.
class FacebookMessageWnd : public DialogWindow, public FacebookMessageListener {
public:
    FacebookMessageWnd();
    ~FacebookMessageWnd() override;

    void setMode(AE::ISceneNode* node, int32_t newMode, bool closeVisible);
    // What the connect command does before it opens the session.
    void enterWaiting() { setMode(waitNode, FacebookWndWaiting, false); }
    // Shows the logout question at once: what a connect button does while connected.
    void askLogout();
    void onMessage(const FacebookMessage& message) override;
    void onCloseClicked();
    void onLogout();

    AE::ISceneNode* waitNode = nullptr;
    AE::ISceneNode* failedNode = nullptr;
    AE::ISceneNode* successNode = nullptr;
    AE::ISceneNode* questionNode = nullptr;
    AE::ISceneNode* closedNode = nullptr;
    AE::ISceneNode* currentNode = nullptr;
    QV::UIWidget* closeButton = nullptr;
    int32_t mode = FacebookWndWaiting;
};
