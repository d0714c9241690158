#include "dialogs/dialog_window.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "dialogs/dialog_window_listener.h"
#include "dialogs/dialog_window_manager.h"
#include "dialogs/panel_follower.h"
#include "format_string.h"
#include "flow/layout_markers.h"
#include "log_system.h"
#include "report_assert.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_widget.h"

namespace {

void stopTree(AE::ISceneNode* node) {
    node->stop(false);
    for (AE::ISceneNode* child : node->mChildren) stopTree(child);
}

}  // namespace

DialogWindow::DialogWindow(const std::string& resource, const std::string& windowName,
                           const std::string& childName)
    : mResource(resource) {
    QV::logLine(QV::formatString("loading ui: %s", resource.c_str()));
    mRoot = QV::UIManager::instance()->loadUI(resource, windowName, nullptr, "default");
    mRoot->hideForcibly();
    QV::UIWidget* child = mRoot->findChild(childName);
    if (!child || child->getType() != QV::kUISceneNode) {
        QV_FATAL(QV::formatString("Window '%s' has no scene widget '%s'", resource.c_str(),
                                  childName.c_str()));
    }
    mScene = static_cast<QV::UISceneNode*>(child)->getNode();
    attachScene(resource);
    // The widgets follow the node that "show" animates.
    const std::vector<AE::Marker::Entry*>& shown = mShowMarker->getEntries();
    if (!shown.empty() && shown.front()->node) mRoot->addComponent(new PanelFollower(child, shown.front()->node));
    adaptWidgetLayout(mRoot);  // not the virtual: a derived window is not made yet
}

DialogWindow::DialogWindow(AE::ISceneNode* scene, const std::string& name) : mScene(scene), mResource(name) {
    attachScene(name);
}

QV::UIWidget* DialogWindow::requireWidget(const std::string& name) {
    QV::UIWidget* widget = mRoot ? mRoot->findChild(name) : nullptr;
    if (!widget) {
        QV_FATAL(QV::formatString("Window '%s' has no widget '%s'", mResource.c_str(), name.c_str()));
    }
    return widget;
}

void DialogWindow::listenTo(AE::Marker* marker) {
    if (!marker) return;
    marker->addListener(this);
    if (std::find(mListenedMarkers.begin(), mListenedMarkers.end(), marker) == mListenedMarkers.end()) {
        mListenedMarkers.push_back(marker);
    }
}

void DialogWindow::connectClicked(QV::UIWidget* button, QV::IFunction* callback) {
    button->connect("clicked", callback);
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
    listenTo(mShowMarker);
    listenTo(mHideMarker);
    if (AE::Marker* init = mScene->getMarker("init")) init->play(true);
    if (DialogWindowManager* manager = DialogWindowManager::instancePointer()) {
        manager->registerWindow(this);
    }
}

DialogWindow::~DialogWindow() {
    if (mDestroyed) *mDestroyed = true;
    // The scene outlives the window until the UI manager removes the tree:
    // no marker end may reach the window after this.
    stopListening();
    // The UI manager deletes the tree (and with it the scene) at its next update.
    if (mRoot) mRoot->mMarkedForRemoval = true;
    if (DialogWindowManager* manager = DialogWindowManager::instancePointer()) {
        manager->unregisterWindow(this);
    }
}

void DialogWindow::stopListening() {
    for (AE::Marker* marker : mListenedMarkers) marker->removeListener(this);
    mListenedMarkers.clear();
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

void DialogWindow::closeForcibly() {
    mShowMarker->stop(false);
    mHideMarker->stop(false);
    mState = Hidden;
    setInputEnabled(false, nullptr);
    hideTree();
}

void DialogWindow::relayout() {
    // A window over a bare scene leaves its layout to the scene's owner.
    if (mRoot) adaptWidgetLayout(mRoot);
}

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

void DialogWindow::setInputEnabled(bool enabled, QV::UIWidget* widget) {
    if (!widget) widget = mRoot;
    if (!widget) return;
    if (widget->getType() == QV::kUIButton) {
        if (enabled && !widget->isEnabled()) widget->enable();
        if (!enabled && widget->isEnabled()) widget->disable();
        // A button held down when its window stops taking input lets the mouse go.
        QV::UIManager* ui = QV::UIManager::instancePointer();
        if (ui && ui->getCapturedWidget() == widget) ui->setCapturedWidget(nullptr);
    }
    const std::vector<QV::UIWidget*> children = widget->getChildren();
    for (QV::UIWidget* child : children) setInputEnabled(enabled, child);
}

void DialogWindow::showTree() {
    if (mRoot) mRoot->showForcibly();
}

void DialogWindow::hideTree() {
    if (mRoot) mRoot->hideForcibly();
}
