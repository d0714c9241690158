// Building text fields, list views, scroll areas and scene lists from descriptions.
#include <algorithm>

#include "animationeditor/scene_node.h"
#include "format_string.h"
#include "log_system.h"
#include "lua_script2.h"
#include "report_assert.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "ui/ui_description_keys.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_scene_list_item.h"
#include "ui/ui_scroll_area.h"
#include "ui/ui_text_edit.h"

namespace QV {

UIWidget* UIManager::createExtraClass(const std::string& className, const std::string& id, UIWidget* parent,
                                      LuaScript2& script) {
    if (className == "UIScrollArea") return new UIScrollArea(id, parent);
    if (className == "UITextEdit") return new UITextEdit(id, parent);
    if (className == "UIListView") return new UIListView(id, parent);
    if (className != "UISceneList") return nullptr;

    std::string scene, package = "default", type, orient;
    int32_t scrolling = UISceneList::kWheelScrolling | UISceneList::kDragScrolling;
    script.getString("scene", &scene);
    readString(script, "package", &package);
    readString(script, "type", &type);
    readInt(script, "scrolling", &scrolling);
    readString(script, "orient", &orient);
    bool owns = false;
    AE::ISceneNode* node = resolveSceneNode(scene, parent, &owns);
    UISceneList* list = new UISceneList(id, parent, node, type == "book" ? UISceneList::kBook : UISceneList::kStrip,
                                        owns, orient != "hor", scrolling);
    forEachTable(script, "items", [&] {
        std::string itemScene, itemId;
        script.getString("scene", &itemScene);
        script.getString("id", &itemId);
        UISceneListItem* item = nullptr;
        if (!itemScene.empty() && itemScene[0] == '/') {
            AE::ISceneNode* itemNode = list->getListNode() ? list->getListNode()->findNodeByPath(itemScene) : nullptr;
            if (itemNode) item = new UISceneListItem(itemNode, itemId);
        } else {
            item = new UISceneListItem(itemScene, itemId);
        }
        if (!item || !item->getScene()) {
            logFormat("ERROR: Can't load scene node from %s!", itemScene.c_str());
            delete item;
            return;
        }
        list->addItem(item);
    });
    return list;
}

void UIManager::createClassParts(UIWidget* widget, LuaScript2& script) {
    if (widget->getType() != kUIListView) return;
    UIListView* view = static_cast<UIListView*>(widget);
    UIWidget* found = view->findChild("childScrollArea");
    UIScrollArea* area = dynamic_cast<UIScrollArea*>(found);
    if (found && !area) {
        reportAssert("QV",
                     formatString("UIListView '%s' in %s: its childScrollArea is not a UIScrollArea",
                                  view->mName.c_str(), loadingName().c_str()),
                     "ui/ui_manager", __LINE__);
        breakpointTrap();
    }
    const bool created = area == nullptr;
    if (created) area = new UIScrollArea("childScrollArea", view);
    loadScrollAreaKeys(area, script);
    if (created) area->addDefaultIdleState();
    view->setContent(area);
}

void UIManager::loadScrollAreaKeys(UIWidget* widget, LuaScript2& script) {
    UIScrollArea* area = dynamic_cast<UIScrollArea*>(widget);
    if (!area) return;
    readString(script, "progressBar", &area->mScrollBarName);
    float pair[2];
    // Only the visible box: the content is measured on the first update.
    if (readPair(script, "size", pair)) area->mDeclaredSize = Vector2<float>(pair[0], pair[1]);
    std::string orientation;
    script.getString("orientation", &orientation);
    area->mHorizontal = orientation == "hor";
    readFlag(script, "kinetic", &area->mKinetic);
    readFloat(script, "kineticSpeed", &area->mKineticSpeed);
}

void UIManager::loadTextEditKeys(UIWidget* widget, LuaScript2& script) {
    if (widget->getType() != kUITextEdit) return;
    UITextEdit* edit = static_cast<UITextEdit*>(widget);
    int32_t maxLength = 0;
    if (readInt(script, "maxLength", &maxLength)) {
        if (maxLength > int32_t(kMaxTextEditLength)) {
            // The field is sized for its longest text: an unbounded length would take gigabytes.
            UIManager* ui = Singleton<UIManager>::instancePointer();
            logFormat("ERROR: UITextEdit '%s' in %s: maxLength %d is more than %u; %u is used", edit->mName.c_str(),
                      ui ? ui->loadingName().c_str() : "?", int(maxLength), unsigned(kMaxTextEditLength),
                      unsigned(kMaxTextEditLength));
            maxLength = int32_t(kMaxTextEditLength);
        }
        edit->mMaxLength = uint32_t(std::max(maxLength, 0));
    }
    readFlag(script, "filterSpecialCharacters", &edit->mFilterSpecialCharacters);
}

void UIManager::loadListViewKeys(UIWidget* widget, LuaScript2& script) {
    if (widget->getType() != kUIListView) return;
    UIListView* view = static_cast<UIListView*>(widget);
    UIFontManager* fonts = Singleton<UIFontManager>::instancePointer();
    std::string text;
    bool presetRead = false;
    if (script.getString("fontPreset", &text) && fonts) {
        const size_t colon = text.find(':');
        FontPreset preset;
        if (colon != std::string::npos && fonts->loadPreset(&preset, text.substr(colon + 1), text.substr(0, colon)) == 0) {
            if (view->mFont) fonts->releaseFont(view->mFont);
            view->mFont = preset.font;  // the preset's reference becomes the list's
            view->mHalign = preset.halign;
            view->mValign = preset.valign;
            view->mXcoeff = preset.xcoeff;
            view->mYcoeff = preset.ycoeff;
            view->mWordWrap = preset.wordWrap;
            view->mTextColor = preset.color.word();
            presetRead = true;
        }
    }
    if (!presetRead && !view->mFont && fonts) view->mFont = fonts->getFont("system_font_fnt");
    std::string image, table;
    script.getString("selectionImagename", &image);
    script.getString("selectionTablename", &table);
    if (!image.empty() && !table.empty()) {
        auto* sprites = Singleton<SpriteManager<Sprite>>::instance();
        if (view->mSelectionSprite) sprites->destroySprite(view->mSelectionSprite);
        view->mSelectionSprite = sprites->createSprite(image, table, "default");
    }
    readFloat(script, "lineHeight", &view->mLineHeight);
}

}  // namespace QV
