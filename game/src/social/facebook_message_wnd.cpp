#include "social/facebook_message_wnd.h"

#include "animationeditor/scene_node.h"
#include "format_string.h"
#include "log_system.h"
#include "social/facebook_data_saver.h"
#include "social/facebook_integration.h"
#include "social/facebook_message.h"
#include "social/facebook_message_dispatcher.h"
#include "ui/ui_widget.h"

FacebookMessageWnd::FacebookMessageWnd() : DialogWindow("facebook_message_wnd_ui", "FacebookMessageWnd", "gui") {
    FacebookMessageDispatcher::instance()->addListener(this);
    bindButton("btnClose", this, &FacebookMessageWnd::onCloseClicked);
    bindButton("btnLogout", this, &FacebookMessageWnd::onLogout);
    AE::ISceneNode** nodes[] = {&waitNode, &failedNode, &successNode, &questionNode, &closedNode};
    const char* names[] = {"wait_mode", "failed_mode", "success_mode", "close_connection_question",
                           "connection_closed"};
    for (int i = 0; i < 5; ++i) {
        *nodes[i] = mScene ? mScene->findNode(names[i]) : nullptr;
        if (*nodes[i]) (*nodes[i])->setEnabled(false);
    }
    closeButton = mRoot ? mRoot->findChild("btn_close") : nullptr;
}

FacebookMessageWnd::~FacebookMessageWnd() {
    if (FacebookMessageDispatcher* dispatcher = FacebookMessageDispatcher::instancePointer())
        dispatcher->removeListener(this);
}

void FacebookMessageWnd::setMode(AE::ISceneNode* node, int32_t newMode, bool closeVisible) {
    if (currentNode) {
        currentNode->stop(true);
        currentNode->setEnabled(false);
    }
    currentNode = node;
    mode = newMode;
    QV::logLine(QV::formatString("FacebookMessageWnd: mode %d", int(newMode)));
    if (closeButton) closeButton->setVisible(closeVisible);
    if (currentNode) {
        currentNode->setEnabled(true);
        currentNode->play(true);
    }
}

void FacebookMessageWnd::askLogout() {
    setMode(questionNode, mode, true);
    show(false);
}

void FacebookMessageWnd::onMessage(const FacebookMessage& message) {
    switch (message.mKind) {
        case FacebookMessage::SessionOpened: setMode(successNode, FacebookWndSuccess, true); break;
        case FacebookMessage::SessionFailed: setMode(failedNode, FacebookWndFailed, true); break;
        case FacebookMessage::SessionClosed: setMode(closedNode, FacebookWndClosed, true); break;
        default: break;
    }
}

void FacebookMessageWnd::onCloseClicked() {
    if (waitNode && waitNode->mEnabled) return;  // waiting: only a result closes it
    hide();
}

void FacebookMessageWnd::onLogout() {
    if (!questionNode || !questionNode->mEnabled) return;
    setMode(waitNode, FacebookWndWaiting, false);
    if (FacebookIntegration* fb = FacebookIntegration::instancePointer()) fb->closeSession();
    if (FacebookDataSaver* saver = FacebookDataSaver::instancePointer()) saver->save();
}
