#include "dialogs/dialog_window.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "dialogs/dialog_window_listener.h"
#include "dialogs/dialog_window_manager.h"
#include "format_string.h"
#include "report_assert.h"

namespace {

void stopTree(AE::ISceneNode* node) {
    node->stop(false);
    for (AE::ISceneNode* child : node->mChildren) stopTree(child);
}

}  // namespace

DialogWindow::DialogWindow(AE::ISceneNode* scene, const std::string& name) : mScene(scene) {
    attachScene(name);
}

void DialogWindow::attachScene(const std::string& name) {
    if (!mScene) QV_FATAL(QV::formatString("Window '%s' has no scene", name.c_str()));
    stopTree(mScene);
    // A window that cannot play both would never open or never close.
    mShowMarker = mScene->getMarker("show");
    mHideMarker = mScene->getMarker("hide");
    if (!mShowMarker || !mHideMarker) {
        QV_FATAL(QV::formatString("Window '%s' needs the markers 'show' and 'hide'", name.c_str()));
    }
    mShowMarker->addListener(this);
    mHideMarker->addListener(this);
    if (AE::Marker* init = mScene->getMarker("init")) init->play(true);
    if (DialogWindowManager* manager = DialogWindowManager::instancePointer()) {
        manager->registerWindow(this);
    }
}

DialogWindow::~DialogWindow() {
    if (mDestroyed) *mDestroyed = true;
    // The scene outlives the window until the UI manager removes the tree:
    // no marker end may reach the window after this.
    if (mShowMarker) mShowMarker->removeListener(this);
    if (mHideMarker) mHideMarker->removeListener(this);
    hideTree();
    if (DialogWindowManager* manager = DialogWindowManager::instancePointer()) {
        manager->unregisterWindow(this);
    }
}

void DialogWindow::show(bool queued) {
    if (mState == Shown || mState == Showing) return;
    if (!queued) {
        showTree();
        mHideMarker->stop(false);
        mShowMarker->play(true);
        if (mState != Showing) {
            mState = Showing;
            setInputEnabled(false, nullptr);
        }
    }
    if (DialogWindowManager* manager = DialogWindowManager::instancePointer()) {
        manager->showWindow(this, queued);
    }
}

void DialogWindow::hide() {
    if (mState != Shown) return;
    mShowMarker->stop(false);
    mHideMarker->play(true);
    mState = Hiding;
    setInputEnabled(false, nullptr);
}

void DialogWindow::relayout() {}

template <typename Call>
void DialogWindow::tellListeners(Call call) {
    bool destroyed = false;
    mDestroyed = &destroyed;
    const std::vector<DialogWindowListener*> listeners = mListeners;
    for (DialogWindowListener* listener : listeners) {
        // A listener that left the list (or died) meanwhile is not told.
        if (std::find(mListeners.begin(), mListeners.end(), listener) == mListeners.end()) continue;
        call(listener);
        if (destroyed) return;
    }
    mDestroyed = nullptr;
}

void DialogWindow::onMarkerFinished(AE::Marker* marker) {
    if (mState == Showing && marker == mShowMarker) {
        mState = Shown;
        setInputEnabled(true, nullptr);
        tellListeners([this](DialogWindowListener* l) { l->onWindowShown(this); });
    } else if (mState == Hiding && marker == mHideMarker) {
        mState = Hidden;
        setInputEnabled(false, nullptr);
        hideTree();
        tellListeners([this](DialogWindowListener* l) { l->onWindowClosed(this); });
    }
}

void DialogWindow::addListener(DialogWindowListener* listener) {
    if (!listener) return;
    if (std::find(mListeners.begin(), mListeners.end(), listener) == mListeners.end()) {
        mListeners.push_back(listener);
    }
}

void DialogWindow::removeListener(DialogWindowListener* listener) {
    auto it = std::find(mListeners.begin(), mListeners.end(), listener);
    if (it != mListeners.end()) mListeners.erase(it);
}

void DialogWindow::setInputEnabled(bool /*enabled*/, QV::UIWidget* widget) {
    if (!widget) widget = mRoot;
    if (!widget) return;
}

void DialogWindow::showTree() {}

void DialogWindow::hideTree() {}
