#include "tutorial/tutorial_window.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "format_string.h"
#include "function.h"
#include "report_assert.h"
#include "tutorial/blackout.h"
#include "tutorial/tutorial_window_listener.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_node.h"

namespace {

// Keeps the close button on the panel's corner wherever the arrow markers
// put the panel (the button is a widget, the panel a scene node).
class CloseButtonFollower : public QV::UIComponent {
public:
    CloseButtonFollower(QV::UIWidget* button, AE::ISceneNode* corner) : mButton(button), mCorner(corner) {}
    void update(float) override {
        if (!mButton || !mCorner) return;
        const QV::Vector2<float> size = mButton->getSize();
        mButton->setPosition(QV::Vector2<float>(mCorner->mWorldPosition.x - mOwner->getWorldPosition().x - size.x / 2,
                                                mCorner->mWorldPosition.y - mOwner->getWorldPosition().y - size.y / 2));
    }

private:
    QV::UIWidget* mButton;
    AE::ISceneNode* mCorner;
};

AE::Marker* requireMarker(AE::ISceneNode* scene, const char* name) {
    AE::Marker* marker = scene ? scene->findMarker(name) : nullptr;
    if (!marker) QV_FATAL(QV::formatString("tutorial_window_ui has no marker '%s'", name));
    return marker;
}

bool isPlaying(const AE::Marker* marker) { return marker && marker->getState() == AE::Marker::kPlaying; }

}  // namespace

TutorialWindow::BlackoutRenderer::BlackoutRenderer(QV::UIWidget* parent) : QV::UIWidget("blackout", parent) {
    mModal = false;
}

TutorialWindow::BlackoutRenderer::~BlackoutRenderer() { delete mBlackout; }

void TutorialWindow::BlackoutRenderer::drawSelf() {
    if (mBlackout && isVisible()) mBlackout->draw();
}

void TutorialWindow::BlackoutRenderer::update(float frameTime) {
    if (mBlackout) mBlackout->update(frameTime);
}

TutorialWindow::TutorialWindow(bool arrowShown, bool closeButtonShown, TutorialWindowListener* listener)
    : mArrowShown(arrowShown ? 1 : 0), mCloseButtonShown(closeButtonShown ? 1 : 0), mListener(listener) {
    mRoot = QV::UIManager::instance()->loadUI("tutorial_window_ui", "TutorialWindow", nullptr, "default");
    mRoot->mModal = true;
    mRenderer = new BlackoutRenderer(nullptr);
    mRenderer->setVisible(false);  // until the window shows
    mRoot->addChild(mRenderer, 0);
    QV::UIWidget* close = mRoot->findChild("btnClose");
    if (close) close->connect("clicked", new QV::Function<TutorialWindow>(this, &TutorialWindow::onCloseClicked));
    QV::UIWidget* gui = mRoot->findChild("gui");
    if (!gui || gui->getType() != QV::kUISceneNode) QV_FATAL("tutorial_window_ui has no scene widget 'gui'");
    mScene = static_cast<QV::UISceneNode*>(gui)->getNode();
    mScene->stop(true);
    mShowMarker = requireMarker(mScene, "show");
    mHideMarker = requireMarker(mScene, "hide");
    mShowMarker->addListener(this);
    mHideMarker->addListener(this);
    if (close) mRoot->addComponent(new CloseButtonFollower(close, mScene->findNode("#closeCorner")));
    mRoot->hideForcibly();
    if (!mArrowShown) playIfPresent("center");
    setAuraVisible(true);
}

TutorialWindow::~TutorialWindow() {
    // The scene lives until the UI manager removes the tree: no marker end may reach us.
    mShowMarker->removeListener(this);
    mHideMarker->removeListener(this);
    mRoot->mMarkedForRemoval = true;
}

void TutorialWindow::playIfPresent(const std::string& name) {
    if (AE::Marker* marker = mScene->findMarker(name)) marker->play(true);
}

bool TutorialWindow::isHiding() const { return isPlaying(mHideMarker); }
bool TutorialWindow::isShowing() const { return isPlaying(mShowMarker); }

void TutorialWindow::setText(const std::string& textId) {
    AE::ISceneNode* node = mScene->findNode("#text");
    if (!node || node->getType() != AE::kTextNode) return;
    auto* text = static_cast<AE::TextSceneNode*>(node);
    text->mTranslate = true;
    text->setText(textId);
    text->refreshText();
}

void TutorialWindow::setBlackout(Blackout* blackout) {
    if (mRenderer->mBlackout != blackout) delete mRenderer->mBlackout;
    mRenderer->mBlackout = blackout;
}

void TutorialWindow::setAuraVisible(bool visible) {
    if (AE::ISceneNode* aura = mScene->findNode("#aura")) aura->setEnabled(visible);
}

void TutorialWindow::show(const QV::Vector2<float>& target) {
    playIfPresent("init");
    playIfPresent(mArrowShown ? "show_arrow" : "hide_arrow");
    playIfPresent(mCloseButtonShown ? "show_button" : "hide_button");
    if (QV::UIWidget* close = mRoot->findChild("btnClose")) {
        if (mCloseButtonShown && !close->isEnabled()) close->enable();
        if (!mCloseButtonShown && close->isEnabled()) close->disable();
        close->setVisible(mCloseButtonShown != 0);
    }
    mRoot->showForcibly();
    mRenderer->setVisible(true);
    mShowMarker->play(true);
    setTarget(target);
}

void TutorialWindow::setTarget(const QV::Vector2<float>& target) {
    if (mRenderer->mBlackout) mRenderer->mBlackout->place(target);
    mTarget = target;
    if (mArrowShown) {
        playIfPresent(mArrowMarkers[tutorialOrientation() == 1 ? 1 : 0]);
        mRoot->setPosition(mTarget);
    } else {
        const QV::Vector2<float> screen = tutorialScreenSize();
        mRoot->setPosition(QV::Vector2<float>(screen.x / 2, screen.y / 2));
    }
}

void TutorialWindow::close() {
    if (!isPlaying(mHideMarker)) mHideMarker->play(true);
}

void TutorialWindow::onCloseClicked() {
    if (isPlaying(mHideMarker) || isPlaying(mShowMarker)) return;
    mHideMarker->play(true);
}

void TutorialWindow::onMarkerFinished(AE::Marker* marker) {
    if (marker == mShowMarker) {
        if (mListener) mListener->onWindowShown();
        return;
    }
    mRenderer->setVisible(false);
    mRoot->hideForcibly();
    // The lesson may delete the window in here: nothing of it is touched afterwards.
    if (TutorialWindowListener* listener = mListener) listener->onWindowClosed();
}
