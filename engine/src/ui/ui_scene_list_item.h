#pragma once

#include <string>
#include <vector>

#include "vector2.h"

namespace AE {
class ISceneNode;
class SpriteSceneNode;
class TextSceneNode;
}  // namespace AE

namespace QV {

class Sprite;
class UIPCController;
class UISceneList;
class UISceneListItem;

// Hears the clicks on an item's "#btn:" elements.
class UISceneListItemListener {
public:
    virtual ~UISceneListItemListener() = default;
    virtual void onItemEvent(UISceneListItem*, const std::string&) {}
};

// One row of a scene list: a scene whose "#btn:", "#text:" and "#icon:" nodes
// are its buttons, text slots and icon slots.
class UISceneListItem {
public:
    enum ElementState { kRegular = 0, kSelect = 1, kPressed = 2 };

    class Element {
    public:
        Element(const std::string& name, AE::ISceneNode* node);
        virtual ~Element() = default;
        virtual bool isButton() const { return false; }
        // Plays the marker "<old>><new>" and takes the state.
        void setState(int32_t state);

        std::string mName;
        AE::ISceneNode* mNode;
        int32_t mState = kRegular;
        bool mInteractive = false;
    };

    template <class Node>
    class TElement : public Element {
    public:
        using Element::Element;
        bool isButton() const override;
    };

    // Loads the scene (package "default"); an empty name takes the root's.
    UISceneListItem(const std::string& sceneFile, const std::string& name);
    // Over a node of somebody else's scene.
    UISceneListItem(AE::ISceneNode* node, const std::string& name);
    virtual ~UISceneListItem();
    UISceneListItem(const UISceneListItem&) = delete;
    UISceneListItem& operator=(const UISceneListItem&) = delete;

    // Fatal when the item has no text slot of that name.
    void setText(const std::string& slot, const std::u16string& text);
    void setTextFlag(const std::string& slot, bool translate);
    // Fatal when the item has no icon slot of that name.
    void setIcon(const std::string& slot, Sprite* sprite);
    // Adds a listener once.
    void addListener(UISceneListItemListener* listener);
    void removeListener(UISceneListItemListener* listener);

    // 1 an element became active, 2 the active one was let go, 0 nothing under
    // the pointer; `result` is left as it was otherwise.
    void handlePointer(const Vector2<float>& pointer, bool buttonDown, int32_t* result);
    // Returns the active element to "regular" and forgets it.
    void dropActiveElement();

    AE::ISceneNode* getScene() const { return mScene; }
    const std::string& getName() const { return mName; }
    UISceneList* getList() const { return mList; }
    const Vector2<float>& getSize() const { return mSize; }
    const std::vector<Element*>& getElements() const { return mElements; }
    Element* getActiveElement() const { return mActiveElement; }
    Element* findElement(const std::string& name) const;

    AE::ISceneNode* mScene = nullptr;
    std::string mName;
    UISceneList* mList = nullptr;
    Vector2<float> mLastPointer;
    std::vector<Element*> mElements;  // owned
    Element* mActiveElement = nullptr;
    std::vector<UISceneListItemListener*> mListeners;
    Vector2<float> mSize{100.0f, 100.0f};
    bool mOwnsScene = true;

private:
    void build(const std::string& name);
    // A "#btn:" element was clicked: the listeners hear of it after the delivery.
    void clicked(const std::string& element);
    template <class Node>
    Node* slot(const std::string& name, const char* fatalFormat) const;
};

// A decimal in the C locale: the number at the start of the text, 0 without one.
float parseDecimal(const std::string& text);

}  // namespace QV
