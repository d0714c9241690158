#include "ui/ui_scene_list.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/marker.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "camera.h"
#include "function.h"
#include "render_system.h"
#include "report_assert.h"
#include "sprite.h"
#include "ui/scrolling_helper.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_list_item.h"
#include "ui/ui_state.h"

namespace QV {

namespace {

// Tells an item's listeners of a click, unless the item left the list meanwhile.
class ItemEvent : public IFunction {
public:
    ItemEvent(UISceneList* list, UISceneListItem* item, const std::string& element)
        : mList(list), mItem(item), mElement(element) {}
    void call() override {
        if (!mList->containsItem(mItem)) return;
        const std::vector<UISceneListItemListener*> listeners = mItem->mListeners;
        for (UISceneListItemListener* listener : listeners) {
            // A listener may clear the list or remove the item.
            if (!mList->containsItem(mItem)) return;
            listener->onItemEvent(mItem, mElement);
        }
    }

private:
    UISceneList* mList;
    UISceneListItem* mItem;
    std::string mElement;
};

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

UISceneList::UISceneList(const std::string& name, UIWidget* parent, AE::ISceneNode* scene, int32_t helperKind,
                         bool ownsScene, bool vertical, int32_t scrolling)
    : UIWidget(name, parent),
      mHelperKind(helperKind),
      mScene(scene),
      mScrolling(scrolling),
      mVertical(vertical),
      mOwnsScene(ownsScene) {
    if (!mScene) return;
    mSize = mScene->getBoundsSize();
    mListNode = mScene->findNode("#list");
    AE::ISceneNode* item = mScene->findNode("#item");
    mMaskNode = mScene->findNode("#mask");
    if (!mListNode) {
        reportAssert("QV", "Not found #list scene node!", "ui/ui_scene_list", __LINE__);
        breakpointTrap();
    }
    if (!mMaskNode) {
        reportAssert("QV", "Not found #mask scene node!", "ui/ui_scene_list", __LINE__);
        breakpointTrap();
    }
    if (item) {
        mPadding = item->getPosition() - mListNode->getPosition();
        delete item;  // only a template of the layout's look
    }
    mArea = mMaskNode->getSize();
    if (mMaskNode->getType() == AE::kSpriteNode) {
        // A sprite's size is its picture's; the well shows it scaled.
        const Vector2<float> scale = mMaskNode->getScale();
        mArea = Vector2<float>(mArea.x * std::fabs(scale.x), mArea.y * std::fabs(scale.y));
    }
    const int rotation = int(mMaskNode->getRotation());
    if (rotation == 90 || rotation == -90) std::swap(mArea.x, mArea.y);
    mListNode->setPosition(Vector2<float>());
    mLayoutEnd = mPadding * 2.0f;
    readParameters();
    if (mHelperKind == kBook) {
        mScrollingHelper = new BookScrollingHelper(this, mScene);
    } else {
        mScrollingHelper = new StripScrollingHelper(this, mScene);
    }
}

void UISceneList::readParameters() {
    for (AE::Marker* marker : mListNode->mMarkers) {
        const std::string& name = marker->getName();
        const size_t colon = name.find(':');
        if (!startsWith(name, "#") || colon == std::string::npos) continue;
        const std::string value = name.substr(colon + 1, 31);
        const size_t slash = value.find('/');
        const float first = parseDecimal(value.substr(0, slash));
        const float second = slash == std::string::npos ? first : parseDecimal(value.substr(slash + 1));
        if (startsWith(name, "#indent:")) {
            mIndent = first;
        } else if (startsWith(name, "#outside:")) {
            mOutside = first;
        } else if (startsWith(name, "#correctionTime:")) {
            mCorrectionTime = first > 0.0f ? first : 0.25f;
        } else if (startsWith(name, "#padding:")) {
            mPadding = Vector2<float>(first, second);
            mLayoutEnd = mPadding * 2.0f;
            if (slash == std::string::npos) break;
        } else if (startsWith(name, "#area_scale:")) {
            mArea = Vector2<float>(mArea.x * first, mArea.y * second);
        }
    }
}

UISceneList::~UISceneList() {
    for (auto it = mItems.rbegin(); it != mItems.rend(); ++it) {
        UISceneListItem* item = *it;
        if (!mOwnsScene && item->mScene && mListNode) {
            // A borrowed scene keeps living: the rows leave it with their items.
            mListNode->removeChild(item->mScene, AE::KeepTransform::Local);
            item->mList = nullptr;
        }
        delete item;
    }
    mItems.clear();
    for (UISceneListItem* item : mUnshownItems) delete item;
    mUnshownItems.clear();
    delete mScrollingHelper;
    if (mOwnsScene) delete mScene;
}

UIPCController* UISceneList::controller() const {
    UIManager* ui = Singleton<UIManager>::instancePointer();
    return ui ? ui->getPCController() : nullptr;
}

bool UISceneList::pointerInMask() const {
    UIPCController* pc = controller();
    return pc && mMaskNode && mMaskNode->hitTest(int(pc->mPointerPosition.x), int(pc->mPointerPosition.y), false);
}

Vector2<float> UISceneList::listPosition() const { return mListNode ? mListNode->getPosition() : Vector2<float>(); }

void UISceneList::setListPosition(const Vector2<float>& position) {
    if (!mListNode) return;
    mListNode->setPosition(position);
    mScene->update(0.0f);
}

bool UISceneList::containsItem(const UISceneListItem* item) const {
    return std::find(mItems.begin(), mItems.end(), item) != mItems.end();
}

int32_t UISceneList::addItem(UISceneListItem* item) {
    if (!item || containsItem(item)) return int32_t(mItems.size());
    if (!mListNode || !item->mScene) {
        // Taken all the same, so the caller's row is not lost (nor leaked).
        if (std::find(mUnshownItems.begin(), mUnshownItems.end(), item) == mUnshownItems.end()) {
            mUnshownItems.push_back(item);
        }
        return int32_t(mItems.size());
    }
    mListNode->addChild(item->mScene, AE::KeepTransform::World);
    mItems.push_back(item);
    item->mList = this;
    mActiveItem = nullptr;
    layoutItems();
    return int32_t(mItems.size());
}

void UISceneList::removeItem(UISceneListItem* item) {
    auto unshown = std::find(mUnshownItems.begin(), mUnshownItems.end(), item);
    if (unshown != mUnshownItems.end()) {
        mUnshownItems.erase(unshown);
        return;
    }
    auto it = std::find(mItems.begin(), mItems.end(), item);
    if (it == mItems.end()) return;
    mItems.erase(it);
    item->mList = nullptr;
    item->mActiveElement = nullptr;
    // The row's scene goes with its item, so the owner can delete it safely.
    if (item->mScene && mListNode) mListNode->removeChild(item->mScene, AE::KeepTransform::Local);
    mActiveItem = nullptr;
    layoutItems();
}

void UISceneList::clearItems() {
    std::vector<UISceneListItem*> items;
    items.swap(mItems);
    for (UISceneListItem* item : items) {
        if (item->mScene && mListNode) mListNode->removeChild(item->mScene, AE::KeepTransform::Local);
        item->mList = nullptr;
        delete item;
    }
    std::vector<UISceneListItem*> unshown;
    unshown.swap(mUnshownItems);
    for (UISceneListItem* item : unshown) delete item;
    mActiveItem = nullptr;
    layoutItems();
}

bool UISceneList::canScroll() const {
    return !mItems.empty() && (mOutside > 0.0f || along(mLayoutEnd) > along(mArea));
}

void UISceneList::layoutItems() {
    if (!mListNode) return;
    Vector2<float> cursor = mPadding * 2.0f;
    for (UISceneListItem* item : mItems) {
        item->mScene->setPosition(cursor - mPadding);
        along(cursor) += along(item->getSize()) + mIndent;
    }
    mLayoutEnd = cursor;
    if (canScroll()) {
        mScrollLimit = std::min(along(mArea) - along(mLayoutEnd), 0.0f);
    } else {
        // Nothing to scroll any more: back to the start.
        mScrollLimit = 0.0f;
        cancelCorrection();
        mListNode->setPosition(Vector2<float>());
    }
    mScene->update(0.0f);
}

void UISceneList::queueItemEvent(UISceneListItem* item, const std::string& element) {
    if (UIManager* ui = Singleton<UIManager>::instancePointer()) ui->queueCall(this, new ItemEvent(this, item, element));
}

UIWidget* UISceneList::rootWidget() {
    UIWidget* root = this;
    while (root->mParent) root = root->mParent;
    return root;
}

void UISceneList::letGo(const Vector2<float>& pointer, bool down) {
    mActiveItem = nullptr;
    mPressPoint = pointer;
    mPointerScrolling = down;
}

void UISceneList::update(float dt) {
    UIWidget* root = rootWidget();
    if (!root->mShown || !mScene) return;
    Color color = mScene->mColor;
    color.a = colorByteFromFloat(std::clamp(mTransparency, 0.0f, 1.0f));
    mScene->mColor = color;
    mScene->mWorldColor = mScene->mParent ? Color::modulate(mScene->mParent->mWorldColor, color) : color;
    if (mOwnsScene) {
        mScene->setPosition(getWorldPosition());
        mScene->update(dt);
    }
    UIManager* ui = Singleton<UIManager>::instancePointer();
    UIPCController* pc = controller();
    if (!ui || !pc || ui->getTopVisibleWidget() != root || !mListNode) return;
    const Vector2<float> pointer = pc->mPointerPosition;
    const bool down = pc->mLeftButtonDown;

    if (mActiveItem) {
        if (!pointerInMask() || mPointerScrolling) {
            mActiveItem->dropActiveElement();
            letGo(pointer, down);
        } else {
            if (down) {
                if ((pointer - mPressPoint).length() >= 16.5f) mPointerScrolling = true;
            } else {
                mPressPoint = pointer;
            }
            if (!mPointerScrolling) {
                int32_t result = -1;
                mActiveItem->handlePointer(pointer, down, &result);
                if (result == 2) letGo(pointer, down);
            }
        }
    } else if (!mScrollingHelper->isBusy() && pointerInMask() && !mPointerScrolling) {
        for (UISceneListItem* item : mItems) {
            int32_t result = -1;
            item->handlePointer(pointer, down, &result);
            if (result == 1) {
                mActiveItem = item;
                mPressPoint = pointer;
                break;
            }
        }
    }

    if (!mActiveItem) {
        mScrollingHelper->update(dt);
        if (!mScrollingHelper->isBusy()) {
            if (down) {
                mPointerScrolling = true;
            } else {
                mPointerScrolling = false;
                mPressPoint = pointer;
            }
        }
    }

    if (!mScrollingHelper->isBusy() && canScroll()) {
        Vector2<float> position = listPosition();
        if (mCorrectionTimeLeft > 0.0f) {
            mCorrectionTimeLeft = std::max(0.0f, mCorrectionTimeLeft - dt);
            along(position) =
                mCorrectionTarget - (mCorrectionTarget - mCorrectionStart) * (mCorrectionTimeLeft / mCorrectionTime);
            setListPosition(position);
        } else if (along(position) > 0.0f || along(position) < mScrollLimit) {
            mCorrectionStart = along(position);
            mCorrectionTarget = along(position) > 0.0f ? 0.0f : mScrollLimit;
            mCorrectionTimeLeft = mCorrectionTime;
        }
    }
}

int32_t UISceneList::processMessage(int32_t message) {
    const int32_t code = uiMessageCode(message);
    if (mScrollingHelper && (code == kUIMessageWheelUp || code == kUIMessageWheelDown)) {
        mScrollingHelper->onWheel(code == kUIMessageWheelUp);
    }
    return 0;
}

bool UISceneList::hitTest(const Vector2<float>& point) {
    if (mClip && !(point.x >= mClipRect.left && point.x <= mClipRect.right && point.y >= mClipRect.top &&
                   point.y <= mClipRect.bottom)) {
        return false;
    }
    return mScene && mScene->hitTest(int(point.x), int(point.y), false);
}

void UISceneList::setVisible(bool visible) {
    mVisible = visible;
    if (!mScene) return;
    mScene->mEnabled = visible;
    for (AE::ISceneNode* child : mScene->mChildren) child->setEnabled(visible);
}

void UISceneList::drawSelf() {
    if (!mScene || !mOwnsScene) return;
    RenderSystem* renderer = Singleton<RenderSystem>::instancePointer();
    AE::SpriteSceneNode* mask = mMaskNode && mMaskNode->getType() == AE::kSpriteNode
                                    ? static_cast<AE::SpriteSceneNode*>(mMaskNode)
                                    : nullptr;
    if (!renderer || !renderer->isFrameOpen() || !mask || !mask->mSprite || !mask->mEnabled || !mListNode) {
        AE::drawScene(mScene);
        return;
    }
    // The rows draw only inside the mask's shape: a row scrolled or dragged
    // out of the area never covers what lies around the list. The rest of the
    // scene (frame, scroll bar) draws as usual, in the same depth order.
    renderer->clearStencil();
    AE::setCurrentClipNode(nullptr);
    renderer->beginStencilWrite();
    mask->mSprite->setColor(Color::fromBytes(255, 255, 255, 255));
    mask->mSprite->setTransform(mask->mWorldMatrix);
    mask->mSprite->draw();
    renderer->endStencil();
    const uint8_t* saved = renderer->getSavedColorWriteMask();
    renderer->setColorWriteMask(saved[0] != 0, saved[1] != 0, saved[2] != 0, saved[3] != 0);

    const std::vector<AE::ISceneNode*> order = AE::collectSceneDrawList(mScene);  // a copy: drawing may reuse it
    AE::SceneCameraTarget* target = AE::sceneCameraTarget();
    Camera camera;
    if (target) camera = target->getCamera();
    bool testing = false;
    for (size_t i = order.size(); i-- > 0;) {
        bool row = false;
        for (AE::ISceneNode* n = order[i]; n && !row; n = n->mParent) row = n == mListNode;
        if (row != testing) {
            if (row) {
                renderer->beginStencilTest();
            } else {
                renderer->endStencil();
            }
            testing = row;
        }
        order[i]->draw();
    }
    if (testing) renderer->endStencil();
    if (target) target->setCamera(camera);
}

void UISceneList::onStateChanged(UIState* state) {
    if (!mScene || !state) return;
    if (AE::Marker* marker = mScene->getMarker(state->mName)) marker->play(true);
}

}  // namespace QV
