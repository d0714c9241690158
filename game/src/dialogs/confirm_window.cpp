#include "dialogs/confirm_window.h"

ConfirmWindow::ConfirmWindow(const std::string& windowName, const std::string& resource)
    : DialogWindow(resource, windowName, "gui") {
    bindButton("btnAccept", this, &ConfirmWindow::onAccept);
    bindButton("btnReject", this, &ConfirmWindow::onReject);
}

// Neither answer checks the state: the buttons only take clicks while shown.
void ConfirmWindow::onAccept() {
    mResult = Accepted;
    hide();
}

void ConfirmWindow::onReject() {
    mResult = Rejected;
    hide();
}
