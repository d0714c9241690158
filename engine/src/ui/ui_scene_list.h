#pragma once

#include <string>
#include <vector>

#include "ui/ui_widget.h"

namespace AE {
class ISceneNode;
}

namespace QV {

class ScrollingHelper;
class UIPCController;
class UISceneListItem;

// A scrollable row or column of scene items inside the "#list" node of a
// scene, seen through its "#mask" node; a scrolling helper moves the list.
class UISceneList : public UIWidget {
public:
    enum HelperKind { kStrip = 0, kBook = 1 };
    enum ScrollingFlags { kWheelScrolling = 1, kDragScrolling = 2 };

    UISceneList(const std::string& name, UIWidget* parent, AE::ISceneNode* scene, int32_t helperKind, bool ownsScene,
                bool vertical = true, int32_t scrolling = kWheelScrolling | kDragScrolling);
    ~UISceneList() override;

    int32_t processMessage(int32_t message) override;
    bool hitTest(const Vector2<float>& point) override;
    void setVisible(bool visible) override;
    int32_t getType() const override { return kUISceneList; }
    void drawSelf() override;
    void update(float frameTime) override;
    void onStateChanged(UIState* state) override;

    // The list takes the item; returns the number of items. An item it cannot show
    // (no scene of its own, or the list has no "#list" node) is kept aside, out of
    // the items, and deleted with the list or by clearItems.
    int32_t addItem(UISceneListItem* item);
    // Takes the item out (its scene leaves the list's scene); the caller owns it again.
    void removeItem(UISceneListItem* item);
    void clearItems();
    void layoutItems();
    bool containsItem(const UISceneListItem* item) const;
    // Tells the item's listeners after the input delivery, through the callback queue.
    void queueItemEvent(UISceneListItem* item, const std::string& element);

    // Has items and either an overscroll margin or more content than the area.
    bool canScroll() const;
    bool pointerInMask() const;
    UIPCController* controller() const;
    float along(const Vector2<float>& v) const { return mVertical ? v.y : v.x; }
    float& along(Vector2<float>& v) const { return mVertical ? v.y : v.x; }
    float across(const Vector2<float>& v) const { return mVertical ? v.x : v.y; }
    // The list node's position, and setting it (updating the scene's transforms).
    Vector2<float> listPosition() const;
    void setListPosition(const Vector2<float>& position);
    void cancelCorrection() { mCorrectionTimeLeft = 0.0f; }

    const std::vector<UISceneListItem*>& getItems() const { return mItems; }
    ScrollingHelper* getScrollingHelper() const { return mScrollingHelper; }
    AE::ISceneNode* getScene() const { return mScene; }
    AE::ISceneNode* getListNode() const { return mListNode; }
    AE::ISceneNode* getMaskNode() const { return mMaskNode; }
    UISceneListItem* getActiveItem() const { return mActiveItem; }

    int32_t mHelperKind;
    ScrollingHelper* mScrollingHelper = nullptr;
    AE::ISceneNode* mScene;
    AE::ISceneNode* mMaskNode = nullptr;
    AE::ISceneNode* mListNode = nullptr;
    std::vector<UISceneListItem*> mItems;
    std::vector<UISceneListItem*> mUnshownItems;  // owned, never laid out
    UISceneListItem* mActiveItem = nullptr;
    Vector2<float> mPadding;
    float mIndent = 0.0f;
    Vector2<float> mArea;
    Vector2<float> mLayoutEnd;
    int32_t mScrolling;
    float mScrollLimit = 0.0f;
    bool mVertical;
    float mOutside = 0.0f;
    float mCorrectionTime = 0.25f;
    float mCorrectionTimeLeft = 0.0f;
    float mCorrectionStart = 0.0f;
    float mCorrectionTarget = 0.0f;
    bool mPointerScrolling = false;
    Vector2<float> mPressPoint;
    bool mOwnsScene;

private:
    void readParameters();
    void letGo(const Vector2<float>& pointer, bool down);
    UIWidget* rootWidget();
};

}  // namespace QV
