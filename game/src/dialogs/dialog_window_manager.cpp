#include "dialogs/dialog_window_manager.h"

#include <algorithm>

#include "dialogs/dialog_window.h"
#include "ui/ui_manager.h"

namespace {

bool contains(const std::vector<DialogWindow*>& list, const DialogWindow* window) {
    return std::find(list.begin(), list.end(), window) != list.end();
}

void eraseFirst(std::vector<DialogWindow*>& list, const DialogWindow* window) {
    auto it = std::find(list.begin(), list.end(), window);
    if (it != list.end()) list.erase(it);
}

}  // namespace

DialogWindowManager::~DialogWindowManager() {
    // Windows given up since the last update are still the manager's to free:
    // their owners are gone, so nobody else ever would.
    std::vector<DialogWindow*> released;
    for (DialogWindow* window : mWindows) {
        window->removeListener(this);
        if (window->mReleased) released.push_back(window);
    }
    mWindows.clear();
    mVisible.clear();
    mPending = nullptr;
    for (DialogWindow* window : released) delete window;
}

void DialogWindowManager::registerWindow(DialogWindow* window) { mWindows.push_back(window); }

void DialogWindowManager::unregisterWindow(DialogWindow* window) {
    if (!contains(mWindows, window)) return;
    eraseFirst(mWindows, window);
    eraseFirst(mVisible, window);
    if (mPending == window) mPending = nullptr;
    showPendingIfFree();
}

void DialogWindowManager::showWindow(DialogWindow* window, bool queued) {
    if (queued) {
        if (mVisible.empty()) {
            window->show(false);
        } else {
            mPending = window;
            mVisible.back()->hide();
        }
        return;
    }
    if (contains(mVisible, window)) return;
    mVisible.push_back(window);
    window->addListener(this);
    mPending = nullptr;
}

void DialogWindowManager::onWindowClosed(DialogWindow* window) {
    eraseFirst(mVisible, window);
    showPendingIfFree();
}

void DialogWindowManager::showPendingIfFree() {
    if (mPending && mVisible.empty()) mPending->show(false);
}

void DialogWindowManager::update(float dt) {
    const std::vector<DialogWindow*> visible = mVisible;
    for (DialogWindow* window : visible) {
        // A window closed or destroyed by an earlier one's update is skipped.
        if (contains(mVisible, window)) window->update(dt);
    }

    std::vector<DialogWindow*> released;
    for (auto it = mWindows.begin(); it != mWindows.end();) {
        DialogWindow* window = *it;
        if (!window->mReleased) {
            ++it;
            continue;
        }
        it = mWindows.erase(it);
        if (mPending == window) mPending = nullptr;
        eraseFirst(mVisible, window);
        released.push_back(window);
    }
    // Nobody holds a released window any more: freeing it here keeps its
    // widget tree from piling up in the UI manager.
    for (DialogWindow* window : released) delete window;
    showPendingIfFree();
}

void DialogWindowManager::hideAllForcibly() {
    mPending = nullptr;
    const std::vector<DialogWindow*> visible = mVisible;
    mVisible.clear();
    for (DialogWindow* window : visible) window->closeForcibly();
    if (QV::UIManager* ui = QV::UIManager::instancePointer()) ui->hideAllForcibly();
}

void hideWindowsForcibly() {
    if (DialogWindowManager* windows = DialogWindowManager::instancePointer()) {
        windows->hideAllForcibly();
    } else if (QV::UIManager* ui = QV::UIManager::instancePointer()) {
        ui->hideAllForcibly();
    }
}
