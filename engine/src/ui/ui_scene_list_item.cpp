#include "ui/ui_scene_list_item.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <sstream>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "format_string.h"
#include "report_assert.h"
#include "ui/ui_scene_list.h"

namespace QV {

namespace {

const char* const kStateNames[] = {"regular", "select", "pressed"};

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

float parseDecimal(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    float value = 0.0f;
    in >> value;
    return in.fail() ? 0.0f : value;
}

UISceneListItem::Element::Element(const std::string& name, AE::ISceneNode* node) : mName(name), mNode(node) {
    if (AE::Marker* regular = node->getMarker("regular")) {
        if (regular->getElapsed() == 0.0f) regular->play(true);
        regular->jumpToEnd();
        regular->mState = AE::Marker::kFinished;
    }
    mInteractive = node->getMarker("regular>select") != nullptr || node->getMarker("select>pressed") != nullptr;
}

void UISceneListItem::Element::setState(int32_t state) {
    if (state == mState) return;
    mNode->resetMarkers(AE::MarkerScope::NodeOnly, AE::MarkerReplay::No);
    const std::string name = std::string(kStateNames[mState]) + ">" + kStateNames[state];
    if (AE::Marker* marker = mNode->getMarker(name)) marker->play(true);
    mState = state;
}

template <>
bool UISceneListItem::TElement<AE::ISceneNode>::isButton() const {
    return true;
}
template <>
bool UISceneListItem::TElement<AE::TextSceneNode>::isButton() const {
    return false;
}
template <>
bool UISceneListItem::TElement<AE::SpriteSceneNode>::isButton() const {
    return false;
}

UISceneListItem::UISceneListItem(const std::string& sceneFile, const std::string& name)
    : mScene(AE::loadScene(sceneFile)) {
    build(name);
}

UISceneListItem::UISceneListItem(AE::ISceneNode* node, const std::string& name) : mScene(node) { build(name); }

void UISceneListItem::build(const std::string& name) {
    mName = name;
    if (!mScene) return;
    if (mName.empty()) mName = mScene->mName;
    // Depth first, each node before its children.
    std::vector<AE::ISceneNode*> stack{mScene};
    while (!stack.empty()) {
        AE::ISceneNode* node = stack.back();
        stack.pop_back();
        const std::string& n = node->mName;
        if (startsWith(n, "#btn:")) {
            mElements.push_back(new TElement<AE::ISceneNode>(n.substr(5), node));
        } else if (startsWith(n, "#text:")) {
            mElements.push_back(new TElement<AE::TextSceneNode>(n.substr(6), node));
        } else if (startsWith(n, "#icon:")) {
            mElements.push_back(new TElement<AE::SpriteSceneNode>(n.substr(6), node));
        }
        for (auto it = node->mChildren.rbegin(); it != node->mChildren.rend(); ++it) stack.push_back(*it);
    }
    for (AE::Marker* marker : mScene->mMarkers) {
        const std::string& m = marker->getName();
        if (!startsWith(m, "#size:")) continue;
        const std::string value = m.substr(6);
        const size_t slash = value.find('/');
        const float w = parseDecimal(value.substr(0, slash));
        mSize = Vector2<float>(w, slash == std::string::npos ? w : parseDecimal(value.substr(slash + 1)));
        break;
    }
}

UISceneListItem::~UISceneListItem() {
    for (Element* element : mElements) delete element;
    if (!mList && mOwnsScene) delete mScene;
}

UISceneListItem::Element* UISceneListItem::findElement(const std::string& name) const {
    for (Element* element : mElements) {
        if (element->mName == name) return element;
    }
    return nullptr;
}

template <class Node>
Node* UISceneListItem::slot(const std::string& name, const char* fatalFormat) const {
    for (Element* element : mElements) {
        if (element->mName != name) continue;
        if (dynamic_cast<TElement<Node>*>(element)) {
            if (Node* node = dynamic_cast<Node*>(element->mNode)) return node;
        }
    }
    reportAssert("QV", formatString(fatalFormat, name.c_str()), "ui/ui_scene_list_item", __LINE__);
    breakpointTrap();
}

void UISceneListItem::setText(const std::string& name, const std::u16string& text) {
    AE::TextSceneNode* node = slot<AE::TextSceneNode>(name, "Not found %s text slot!");
    node->mText = text;
    node->refreshText();
}

void UISceneListItem::setTextFlag(const std::string& name, bool translate) {
    AE::TextSceneNode* node = slot<AE::TextSceneNode>(name, "Not found %s text slot!");
    node->mTranslate = translate;
    node->refreshText();
}

void UISceneListItem::setIcon(const std::string& name, Sprite* sprite) {
    slot<AE::SpriteSceneNode>(name, "Not found %s icon slot!")->setSprite(sprite);
}

void UISceneListItem::addListener(UISceneListItemListener* listener) {
    if (listener && std::find(mListeners.begin(), mListeners.end(), listener) == mListeners.end()) {
        mListeners.push_back(listener);
    }
}

void UISceneListItem::removeListener(UISceneListItemListener* listener) {
    mListeners.erase(std::remove(mListeners.begin(), mListeners.end(), listener), mListeners.end());
}

void UISceneListItem::clicked(const std::string& element) {
    if (mList) {
        mList->queueItemEvent(this, element);
        return;
    }
    const std::vector<UISceneListItemListener*> listeners = mListeners;
    for (UISceneListItemListener* listener : listeners) listener->onItemEvent(this, element);
}

void UISceneListItem::dropActiveElement() {
    if (mActiveElement) mActiveElement->setState(kRegular);
    mActiveElement = nullptr;
}

void UISceneListItem::handlePointer(const Vector2<float>& pointer, bool buttonDown, int32_t* result) {
    if (mElements.empty()) return;
    if (Element* active = mActiveElement) {
        if (!active->mNode->mEnabled || active->mNode->getWorldColor().a == 0) {
            mActiveElement = nullptr;
            return;
        }
        mLastPointer = pointer;
        if (active->mNode->hitTest(int(pointer.x), int(pointer.y), false)) {
            if (active->mState != kPressed) {
                if (buttonDown) active->setState(kPressed);
            } else if (!buttonDown) {
                active->setState(kSelect);
                if (active->isButton()) clicked(active->mName);
            }
        } else if (!buttonDown) {
            active->setState(kRegular);
            mActiveElement = nullptr;
            *result = 2;
        }
        return;
    }
    for (Element* element : mElements) {
        if (!element->mInteractive) continue;
        if (!element->mNode->hitTest(int(pointer.x), int(pointer.y), false)) continue;
        element->setState(kSelect);
        mActiveElement = element;
        mLastPointer = pointer;
        *result = 1;
        return;
    }
    *result = 0;
}

}  // namespace QV
