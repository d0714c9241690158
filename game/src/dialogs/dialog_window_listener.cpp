#include "dialogs/dialog_window_listener.h"

#include "dialogs/dialog_window.h"
#include "dialogs/dialog_window_manager.h"

DialogWindowListener::~DialogWindowListener() {
    DialogWindowManager* manager = DialogWindowManager::instancePointer();
    if (!manager) return;
    for (DialogWindow* window : manager->mWindows) window->removeListener(this);
}
