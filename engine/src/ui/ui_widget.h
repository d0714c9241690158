#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "color.h"
#include "rect.h"
#include "vector2.h"

namespace QV {

class IFunction;
class LuaScript2;
class UIState;
class UIWidget;

// Type codes of the widget classes (getType).
enum UIWidgetType : int32_t {
    kUIWidget = 0,
    kUIButton = 1,
    kUICheckBox = 2,
    kUILabel = 3,
    kUIListView = 4,
    kUIParticleFX = 5,
    kUIProgressBar = 6,
    kUISceneNode = 7,
    kUISprite = 9,
    kUITextEdit = 10,
    kUISceneList = 11,
};

// An optional behaviour object of a widget, made by a creator registered
// with the UI manager.
class UIComponent {
public:
    virtual ~UIComponent() = default;
    virtual void load(LuaScript2&) {}
    virtual void draw() {}
    virtual void update(float) {}
    virtual void widgetStateChanged(UIState*) {}
    virtual void widgetShown() {}
    virtual void widgetShownForcibly() {}
    virtual void widgetHidden() {}
    virtual void widgetHiddenByOutsideClick() {}
    virtual void widgetHiddenForcibly() {}
    virtual void widgetEnabled() {}
    virtual void widgetDisabled() {}

    UIWidget* mOwner = nullptr;
};

// A node of a widget tree: owns its children, states and components.
class UIWidget {
public:
    UIWidget(const std::string& name, UIWidget* parent);
    virtual ~UIWidget();
    UIWidget(const UIWidget&) = delete;
    UIWidget& operator=(const UIWidget&) = delete;

    virtual Vector2<float> getSize() const { return mSize; }
    // Takes the callback; a plain widget raises no events and deletes it.
    virtual void connect(const std::string& event, IFunction* callback);
    virtual int32_t processMessage(int32_t) { return mProcessMessageReturnValue; }
    virtual bool hitTest(const Vector2<float>& point);
    virtual void setClipRect(const Rect& rect);
    virtual void setVisible(bool visible) { mVisible = visible; }
    virtual int32_t getType() const { return kUIWidget; }
    virtual void drawSelf() {}
    virtual void drawAfterChildren() {}
    virtual void update(float) {}
    virtual void load(LuaScript2& script);
    virtual void onStateChanged(UIState*) {}
    virtual void onClipRectChanged() {}

    // 1 when the child is among the children already; else 0.
    int32_t addChild(UIWidget* child, int32_t index);
    // Takes the child out of the children without deleting it; false when absent.
    bool removeChild(UIWidget* child);
    bool isAncestorOf(const UIWidget* widget) const;
    // This widget when its name matches, else the first match depth first.
    UIWidget* findChild(const std::string& name);
    Vector2<float> getWorldPosition() const;
    Vector2<float> getContentSize() const;
    bool isClippedAway() const;

    // Forced skips the drawn-this-frame check (an owner drawing the tree itself).
    void draw(bool forced = false);
    void clearDrawnMarks();
    void updateTree(float frameTime);

    void show();
    void showForcibly();
    void hide();
    void hideForcibly();
    void hideOnOutsideClick();
    void enable();
    void disable();

    void setState(const std::string& name);
    void setStateImmediately(const std::string& name);
    // Takes the state; a name already present leaves the table unchanged and deletes nothing.
    // True when the state was taken.
    bool addState(const std::string& name, UIState* state);
    const std::string& getCurrentStateName() const;
    UIState* findState(const std::string& name) const;
    void addDefaultIdleState();
    void addDefaultHideState();
    void addComponent(UIComponent* component);

    const std::string& getName() const { return mName; }
    UIWidget* getParent() const { return mParent; }
    const std::vector<UIWidget*>& getChildren() const { return mChildren; }
    bool isEnabled() const { return mEnabled; }
    bool isVisible() const { return mVisible; }
    bool isShown() const { return mShown; }
    bool isHovered() const { return mHovered; }
    bool isModal() const { return mModal; }
    void setPosition(const Vector2<float>& position) { mPosition = position; }
    const Vector2<float>& getPosition() const { return mPosition; }
    void setSize(const Vector2<float>& size) { mSize = size; }

    std::string mName;
    UIWidget* mParent;
    std::vector<UIWidget*> mChildren;  // owned
    Vector2<float> mPosition;
    Vector2<float> mOffset;
    Vector2<float> mSize;
    float mTransparency = 1.0f;
    bool mHovered = false;
    bool mShown = true;
    bool mModal = true;
    Rect mClipRect;
    bool mClip = false;
    float mHideStateDuration = 0.25f;
    bool mNotSelecting = false;
    std::map<std::string, UIState*> mStates;  // owned
    UIState* mCurrentState = nullptr;
    bool mVisible = true;
    bool mEnabled = true;
    Color mColor = Color::fromWord(0xFFFFFFFFu);
    int32_t mTabOrder = -1;
    int32_t mDefaultChildTabOrder = -1;
    uint8_t mHotkey = 0;
    int32_t mTabNavigation = 0;
    bool mDrawn = false;
    int32_t mProcessMessageReturnValue = 0;
    Rect mCustomContentRect;
    bool mEnableCustomContentRect = false;
    bool mMarkedForRemoval = false;
    bool mHideWidgetOnOutsideClick = false;
    std::vector<UIComponent*> mComponents;  // owned

private:
    void enterState(const std::string& name, bool immediately);
    void enterAddedState(const std::string& name, UIState* state);
    void tellManagerHidden();
};

// Two rectangles overlap unless one lies wholly beside the other; touching counts.
bool rectsOverlap(const Rect& a, const Rect& b);

}  // namespace QV
