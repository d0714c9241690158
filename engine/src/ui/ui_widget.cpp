#include "ui/ui_widget.h"

#include <algorithm>

#include "function.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_state.h"

namespace QV {

namespace {

const std::string kEmpty;

UIManager* manager() { return Singleton<UIManager>::instancePointer(); }

}  // namespace

bool rectsOverlap(const Rect& a, const Rect& b) {
    return !(a.right < b.left || b.right < a.left || a.bottom < b.top || b.bottom < a.top);
}

UIWidget::UIWidget(const std::string& name, UIWidget* parent) : mName(name), mParent(parent) {}

UIWidget::~UIWidget() {
    for (auto& entry : mStates) delete entry.second;
    mStates.clear();
    mCurrentState = nullptr;
    // Moved out first: a child's destructor detaches itself from its parent.
    std::vector<UIWidget*> children;
    children.swap(mChildren);
    for (UIWidget* child : children) {
        child->mParent = nullptr;
        delete child;
    }
    for (UIComponent* component : mComponents) delete component;
    mComponents.clear();
    if (mParent) mParent->removeChild(this);
    if (UIManager* ui = manager()) ui->forgetWidget(this);
}

void UIWidget::connect(const std::string&, IFunction* callback) { delete callback; }

void UIWidget::load(LuaScript2& script) { UIManager::loadWidgetProperties(this, script); }

int32_t UIWidget::addChild(UIWidget* child, int32_t index) {
    if (std::find(mChildren.begin(), mChildren.end(), child) != mChildren.end()) return 1;
    child->mParent = this;
    if (index >= 0 && index < int32_t(mChildren.size())) {
        mChildren.insert(mChildren.begin() + index, child);
    } else {
        mChildren.push_back(child);
    }
    return 0;
}

bool UIWidget::removeChild(UIWidget* child) {
    auto it = std::find(mChildren.begin(), mChildren.end(), child);
    if (it == mChildren.end()) return false;
    mChildren.erase(it);
    return true;
}

bool UIWidget::isAncestorOf(const UIWidget* widget) const {
    for (const UIWidget* child : mChildren) {
        if (child == widget || child->isAncestorOf(widget)) return true;
    }
    return false;
}

UIWidget* UIWidget::findChild(const std::string& name) {
    if (mName == name) return this;
    for (UIWidget* child : mChildren) {
        if (UIWidget* found = child->findChild(name)) return found;
    }
    return nullptr;
}

Vector2<float> UIWidget::getWorldPosition() const {
    Vector2<float> world = mPosition + mOffset;
    if (mParent) world += mParent->getWorldPosition();
    return world;
}

Vector2<float> UIWidget::getContentSize() const {
    const Vector2<float> w = getWorldPosition();
    Vector2<float> corner(w.x + mSize.x, w.y + mSize.y);
    for (const UIWidget* child : mChildren) {
        const Vector2<float> c = child->getWorldPosition() + child->getContentSize();
        corner.x = std::max(corner.x, c.x);
        corner.y = std::max(corner.y, c.y);
    }
    return corner - w;
}

bool UIWidget::isClippedAway() const {
    if (!mClip) return false;
    const Vector2<float> w = getWorldPosition();
    const Vector2<float> size = getContentSize();
    return !rectsOverlap(Rect(w.x, w.y, w.x + size.x, w.y + size.y), mClipRect);
}

bool UIWidget::hitTest(const Vector2<float>& point) {
    if (mNotSelecting) return false;
    const Vector2<float> w = getWorldPosition();
    Rect own;
    if (mEnableCustomContentRect) {
        own = Rect(w.x + mCustomContentRect.left, w.y + mCustomContentRect.top, w.x + mCustomContentRect.right,
                   w.y + mCustomContentRect.bottom);
    } else {
        const Vector2<float> size = getSize();
        own = Rect(w.x, w.y, w.x + size.x, w.y + size.y);
    }
    bool clipOk = true;
    if (mClip) {
        const bool inside = point.x >= mClipRect.left && point.x <= mClipRect.right && point.y >= mClipRect.top &&
                            point.y <= mClipRect.bottom;
        clipOk = inside && rectsOverlap(own, mClipRect);
    }
    if (clipOk && point.x >= own.left && point.x <= own.right && point.y >= own.top && point.y <= own.bottom) {
        return true;
    }
    if (mEnableCustomContentRect) return false;
    for (UIWidget* child : mChildren) {
        if (child->hitTest(point)) return true;
    }
    return false;
}

void UIWidget::setClipRect(const Rect& rect) {
    mClipRect = rect;
    mClip = true;
    for (UIWidget* child : mChildren) child->setClipRect(rect);
    onClipRectChanged();
}

void UIWidget::draw(bool forced) {
    if (!mVisible) return;
    if (mDrawn && !forced) return;
    if (mTransparency > 0.0f) {
        drawSelf();
        for (UIComponent* component : mComponents) component->draw();
    }
    for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->draw();
    if (mTransparency > 0.0f) drawAfterChildren();
    mDrawn = true;
}

void UIWidget::clearDrawnMarks() {
    mDrawn = false;
    for (UIWidget* child : mChildren) child->clearDrawnMarks();
}

void UIWidget::updateTree(float frameTime) {
    if (mCurrentState) {
        for (UIState::IPropertyChange* change : mCurrentState->mChanges) change->step(frameTime);
    }
    update(frameTime);
    for (size_t i = 0; i < mComponents.size(); ++i) mComponents[i]->update(frameTime);
    for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->updateTree(frameTime);
}

void UIWidget::show() {
    setState(mEnabled ? "onIdle" : "onDisable");
    for (UIComponent* component : mComponents) component->widgetShown();
    if (UIManager* ui = manager()) ui->bringToFront(this);
}

void UIWidget::showForcibly() {
    setStateImmediately(mEnabled ? "onIdle" : "onDisable");
    for (UIComponent* component : mComponents) component->widgetShownForcibly();
    if (UIManager* ui = manager()) ui->bringToFront(this);
}

void UIWidget::tellManagerHidden() {
    if (UIManager* ui = manager()) ui->onWidgetHidden(this);
}

void UIWidget::hide() {
    setState("onHide");
    for (UIComponent* component : mComponents) component->widgetHidden();
    tellManagerHidden();
}

void UIWidget::hideForcibly() {
    setStateImmediately("onHide");
    for (UIComponent* component : mComponents) component->widgetHiddenForcibly();
    tellManagerHidden();
}

void UIWidget::hideOnOutsideClick() {
    setState("onHide");
    for (UIComponent* component : mComponents) component->widgetHiddenByOutsideClick();
    tellManagerHidden();
}

void UIWidget::enable() {
    mEnabled = true;
    setStateImmediately("onIdle");
    for (UIComponent* component : mComponents) component->widgetEnabled();
}

void UIWidget::disable() {
    setStateImmediately("onDisable");
    mEnabled = false;
    for (UIComponent* component : mComponents) component->widgetDisabled();
}

void UIWidget::setState(const std::string& name) { enterState(name, false); }

void UIWidget::setStateImmediately(const std::string& name) { enterState(name, true); }

void UIWidget::enterState(const std::string& requested, bool immediately) {
    std::string name = requested;
    if (!mEnabled) {
        if (name == "onSelect") return;
        if (name == "onIdle") name = "onDisable";
    }
    if (name != "onSelect") mHovered = false;
    auto it = mStates.find(name);
    if (it != mStates.end()) {
        UIState* state = it->second;
        if (mCurrentState != state) {
            mCurrentState = state;
            onStateChanged(state);
            for (UIComponent* component : mComponents) component->widgetStateChanged(state);
        }
        for (UIState::IPropertyChange* change : state->mChanges) {
            if (immediately) {
                change->finish();
            } else {
                change->start();
            }
        }
        mShown = name != "onHide";
    } else if (requested == "onIdle") {
        // Shown with its tree even without an idle state of its own: a shown flag
        // left false would make the manager drop this widget's capture.
        mShown = true;
    }
    if (name == "onIdle" || name == "onHide") {
        for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->enterState(name, immediately);
    }
}

bool UIWidget::addState(const std::string& name, UIState* state) {
    if (mStates.count(name)) return false;
    mStates[name] = state;
    if (mEnabled) enterAddedState(name, state);
    return true;
}

void UIWidget::enterAddedState(const std::string& name, UIState* state) {
    mCurrentState = state;
    onStateChanged(state);
    for (UIComponent* component : mComponents) component->widgetStateChanged(state);
    for (UIState::IPropertyChange* change : state->mChanges) change->finish();
    if (name != "onSelect") mHovered = false;
    mShown = name != "onHide";
    if (name == "onIdle" || name == "onHide") {
        for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->setStateImmediately(name);
    }
}

const std::string& UIWidget::getCurrentStateName() const { return mCurrentState ? mCurrentState->mName : kEmpty; }

UIState* UIWidget::findState(const std::string& name) const {
    auto it = mStates.find(name);
    return it == mStates.end() ? nullptr : it->second;
}

void UIWidget::addDefaultIdleState() {
    UIState* state = new UIState("onIdle");
    state->addChange(new UIState::PropertyChange<float>(this, 0.25f, &mTransparency, 1.0f));
    if (!addState("onIdle", state)) delete state;
}

void UIWidget::addDefaultHideState() {
    if (mStates.count("onHide")) return;
    UIState* state = new UIState("onHide");
    state->addChange(new UIState::PropertyChange<float>(this, mHideStateDuration, &mTransparency, 0.0f));
    addState("onHide", state);
    for (size_t i = 0; i < mChildren.size(); ++i) {
        mChildren[i]->mHideStateDuration = mHideStateDuration;
        mChildren[i]->addDefaultHideState();
    }
}

void UIWidget::addComponent(UIComponent* component) {
    if (!component) return;
    component->mOwner = this;
    mComponents.push_back(component);
}

}  // namespace QV
