// Building widget trees from Lua descriptions.
#include <algorithm>
#include <memory>
#include <thread>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "fast_sprite.h"
#include "format_string.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "lua_script2.h"
#include "mutex_lock.h"
#include "particle_system.h"
#include "report_assert.h"
#include "sprite_manager.h"
#include "ui/ui_button.h"
#include "ui/ui_description_keys.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_label.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_sprite.h"
#include "ui/ui_state.h"

namespace QV {

namespace {

[[noreturn]] void loadFatal(const std::string& message, int line) {
    reportAssert("QV", message, "ui/ui_manager", line);
    breakpointTrap();
}

}  // namespace

UIWidget* UIManager::loadUI(const std::string& scriptName, const std::string& table, UIWidget* parent,
                            const std::string& package) {
    const std::string name = scriptName + ":" + table;
    const std::string key = package + "/" + name;
    std::string cycle;
    {
        MutexLock lock(&mMutex);
        LoadingChain& chain = mLoading[std::this_thread::get_id()];
        // The same description inside itself would load forever (and overflow the stack).
        if (std::find(chain.keys.begin(), chain.keys.end(), key) != chain.keys.end()) {
            for (const std::string& outer : chain.names) cycle += outer + " -> ";
            cycle += name;
        }
    }
    if (!cycle.empty()) {
        loadFatal(formatString("UI description %s embeds or relates to itself (%s)", name.c_str(), cycle.c_str()),
                  __LINE__);
    }
    LuaScript2 script(createLuaState());
    if (!script.loadScript(scriptName, package)) loadFatal(formatString("Failed to load ui script %s", scriptName.c_str()), 118);
    if (!script.openTable(table.c_str())) {
        loadFatal(formatString("Failed to load UI table %s from %s", table.c_str(), scriptName.c_str()), 120);
    }
    {
        MutexLock lock(&mMutex);
        LoadingChain& chain = mLoading[std::this_thread::get_id()];
        chain.names.push_back(name);
        chain.keys.push_back(key);
    }
    UIWidget* widget = createWidget(script, parent);
    script.closeTable();
    {
        MutexLock lock(&mMutex);
        auto it = mLoading.find(std::this_thread::get_id());
        it->second.names.pop_back();
        it->second.keys.pop_back();
        if (it->second.names.empty() && it->second.depth == 0) mLoading.erase(it);
    }
    if (!parent) addRootWidget(widget);
    return widget;
}

UIWidget* UIManager::createWidget(LuaScript2& script, UIWidget* parent) {
    bool tooDeep = false;
    {
        // A table that holds itself among its "childs" would nest without end.
        MutexLock lock(&mMutex);
        tooDeep = ++mLoading[std::this_thread::get_id()].depth > kMaxUINesting;
    }
    if (tooDeep) {
        loadFatal(formatString("UI description %s nests widgets more than %d deep", loadingName().c_str(),
                               int(kMaxUINesting)),
                  __LINE__);
    }
    UIWidget* widget = buildWidget(script, parent);
    {
        MutexLock lock(&mMutex);
        auto it = mLoading.find(std::this_thread::get_id());
        if (--it->second.depth == 0 && it->second.names.empty()) mLoading.erase(it);
    }
    return widget;
}

UIWidget* UIManager::buildWidget(LuaScript2& script, UIWidget* parent) {
    forEachTable(script, "related", [&] {
        std::string filename, id;
        script.getString("filename", &filename);
        script.getString("id", &id);
        if (!filename.empty() && !id.empty()) loadUI(filename, id, nullptr, "default");
    });

    std::string id, className, instance;
    if (!script.getString("id", &id)) loadFatal("Failed to read UI identity", 167);
    if (!script.getString("class", &className)) loadFatal("Failed to read UI class name", 168);
    script.getString("instance", &instance);

    UIWidget* widget = nullptr;
    if (!instance.empty() && instance[0] == '#') {
        const std::string url = instance.substr(1);
        const size_t colon = url.find(':');
        const std::string scriptName = url.substr(0, colon);
        const std::string tableName = colon == std::string::npos ? std::string() : url.substr(colon + 1);
        if (scriptName.empty()) loadFatal("Bad url specified in UI", 180);
        if (tableName.empty()) loadFatal("Bad url specified in UI", 181);
        widget = loadUI(scriptName, tableName, parent, "default");
        widget->mName = id;
        widget->load(script);
    } else {
        widget = createByClass(className, id, parent, script);
    }

    forEachTable(script, "childs", [&] { createWidget(script, widget); });

    const int32_t type = widget->getType();
    if (type == kUIButton || type == kUICheckBox || type == kUITextEdit) createCaption(widget, script);
    createClassParts(widget, script);

    createStates(widget, script);
    createEvents(widget, script);
    createComponents(widget, script);
    widget->addDefaultHideState();

    if (widget->mEnabled && widget->mVisible && !widget->mMarkedForRemoval) {
        std::string initial;
        if (script.getString("initialState", &initial)) widget->setStateImmediately(initial);
    } else {
        widget->setStateImmediately("onDisable");
    }
    return widget;
}

std::string UIManager::loadingName() {
    MutexLock lock(&mMutex);
    auto it = mLoading.find(std::this_thread::get_id());
    return it == mLoading.end() || it->second.names.empty() ? std::string("?") : it->second.names.back();
}

UIWidget* UIManager::createByClass(const std::string& className, const std::string& id, UIWidget* parent,
                                   LuaScript2& script) {
    UIWidget* widget = nullptr;
    if (className == "UIWidget") {
        widget = new UIWidget(id, parent);
    } else if (className == "UIButton") {
        widget = new UIButton(id, parent);
    } else if (className == "UICheckBox") {
        widget = new UICheckBox(id, parent);
    } else if (className == "UILabel") {
        widget = new UILabel(id, parent);
    } else if (className == "UIProgressBar") {
        widget = new UIProgressBar(id, parent);
    } else if (className == "UISprite") {
        std::string image, table, package = "default";
        script.getString("imagename", &image);
        script.getString("tablename", &table);
        readString(script, "package", &package);
        if (image.empty() || table.empty()) {
            loadFatal(formatString("UISprite '%s' in %s needs both imagename and tablename", id.c_str(),
                                   loadingName().c_str()),
                      __LINE__);
        }
        FastSprite* sprite = Singleton<SpriteManager<FastSprite>>::instance()->createSprite(image, table, package);
        widget = new UISprite(id, parent, sprite, true);
    } else if (className == "UIParticleFX") {
        std::string filename;
        if (!script.getString("filename", &filename)) loadFatal("Failed to read filename for UIParticleFX", 398);
        widget = new UIParticleFX(id, parent, Singleton<ParticleSystem>::instance()->createParticleFX(filename));
    } else if (className == "UISceneNode") {
        std::string scene, package = "default";
        float scale[2] = {1.0f, 1.0f};
        script.getString("scene", &scene);
        readString(script, "package", &package);
        readPair(script, "scale", scale);
        bool owns = false;
        AE::ISceneNode* node = resolveSceneNode(scene, parent, &owns);
        widget = new UISceneNode(id, parent, node, owns);
        if (node) {
            node->setScaleX(scale[0]);
            node->setScaleY(scale[1]);
        }
    } else {
        widget = createExtraClass(className, id, parent, script);
        if (!widget) {
            loadFatal(formatString("Unknown UI class '%s' of widget '%s' in %s", className.c_str(), id.c_str(),
                                   loadingName().c_str()),
                      __LINE__);
        }
    }
    widget->load(script);
    if (parent) parent->addChild(widget, -1);
    return widget;
}

AE::ISceneNode* UIManager::resolveSceneNode(const std::string& scene, UIWidget* parent, bool* owns) {
    *owns = false;
    AE::ISceneNode* node = nullptr;
    if (scene.compare(0, 7, "@parent") == 0) {
        const std::string path = scene.substr(7);
        for (UIWidget* w = parent; w && !node; w = w->mParent) {
            if (w->getType() != kUISceneNode) continue;
            if (AE::ISceneNode* host = static_cast<UISceneNode*>(w)->getNode()) node = host->findNodeByPath(path);
        }
    } else if (!scene.empty()) {
        node = AE::loadScene(scene);
        *owns = node != nullptr;
    }
    if (!node) logFormat("ERROR: Can't load scene node from %s!", scene.c_str());
    return node;
}

void UIManager::loadWidgetProperties(UIWidget* widget, LuaScript2& script) {
    float pair[2];
    if (script.getVector2("position", pair)) widget->mPosition = Vector2<float>(pair[0], pair[1]);
    readFlag(script, "modal", &widget->mModal);
    if (readFloat(script, "hideStateDuration", &widget->mHideStateDuration)) {
        for (UIWidget* child : widget->mChildren) child->mHideStateDuration = widget->mHideStateDuration;
    }
    Rect box;
    if (readBox(script, "customClientRect", &box)) {
        widget->mCustomContentRect = box;
        widget->mEnableCustomContentRect = true;
    } else {
        widget->mCustomContentRect = Rect();
        widget->mEnableCustomContentRect = false;
    }
    bool enabled = true;
    if (readFlag(script, "enabled", &enabled)) {
        if (!enabled && widget->mEnabled) widget->disable();
        if (enabled && !widget->mEnabled) widget->enable();
    }
    readFlag(script, "notSelecting", &widget->mNotSelecting);
    readInt(script, "tabOrder", &widget->mTabOrder);
    readByte(script, "hotkey", &widget->mHotkey);
    readInt(script, "defaultChildTabOrder", &widget->mDefaultChildTabOrder);
    readInt(script, "tabNavigation", &widget->mTabNavigation);
    readInt(script, "processMessageReturnValue", &widget->mProcessMessageReturnValue);
    readFlag(script, "enableCustomContentRect", &widget->mEnableCustomContentRect);
    readBox(script, "customContentRect", &widget->mCustomContentRect);
    readFlag(script, "hideWidgetOnOutsideClick", &widget->mHideWidgetOnOutsideClick);
}

void UIManager::loadLabelKeys(UIWidget* widget, LuaScript2& script) {
    if (widget->getType() != kUILabel) return;
    UILabel* label = static_cast<UILabel*>(widget);
    std::string text;
    if (script.getString("fontPreset", &text)) {
        const size_t colon = text.find(':');
        UIFontManager* fonts = Singleton<UIFontManager>::instancePointer();
        if (colon != std::string::npos && fonts) {
            FontPreset preset;
            if (fonts->loadPreset(&preset, text.substr(colon + 1), text.substr(0, colon)) == 0) {
                label->applyPreset(preset);
                // The preset's own reference; the label took one of its own.
                if (preset.font) fonts->releaseFont(preset.font);
            }
        }
    }
    if (script.getString("text", &text)) label->setText(text);
    float pair[2];
    if (script.getVector2("size", pair)) label->mSize = Vector2<float>(pair[0], pair[1]);
    readInt(script, "halign", &label->mHalign);
    readInt(script, "valign", &label->mValign);
    if (script.getString("sizeof", &text) && label->mParent) {
        if (UIWidget* other = label->mParent->findChild(text)) label->mSize = other->getContentSize();
    }
    readFlag(script, "wordWrap", &label->mWordWrap);
    if (script.getString("font", &text)) {
        label->setFont(text);
    } else if (!label->getFont()) {
        label->setFont("system_font_fnt");
    }
    readFloat(script, "xcoeff", &label->mXcoeff);
    readFloat(script, "ycoeff", &label->mYcoeff);
    readFlag(script, "pixelPrecision", &label->mPixelPrecision);
    Color color;
    if (script.getColorBytes("color", &color)) label->mTextColor = color;
}

void UIManager::loadSpriteKeys(UIWidget* widget, LuaScript2& script) {
    if (widget->getType() != kUISprite) return;
    UISprite* sprite = static_cast<UISprite*>(widget);
    float pair[2];
    if (script.getVector2("size", pair)) {
        sprite->mSize = Vector2<float>(pair[0], pair[1]);
        if (sprite->mSprite) sprite->mSprite->mSize = sprite->mSize;
    }
    Color color;
    if (script.getColorBytes("color", &color)) sprite->setBaseColor(color);
    if (script.getVector2("scale", pair)) {
        sprite->mScale = Vector2<float>(pair[0], pair[1]);
        if (sprite->mSprite) sprite->mSprite->mScale = sprite->mScale;
    }
}

void UIManager::loadProgressBarKeys(UIWidget* widget, LuaScript2& script) {
    if (widget->getType() != kUIProgressBar) return;
    UIProgressBar* bar = static_cast<UIProgressBar*>(widget);
    readString(script, "bar", &bar->mBarName);
    readPair(script, "lrOffsets", bar->mLrOffsets);
    readString(script, "thumb", &bar->mThumbName);
    readInt(script, "orientation", &bar->mOrientation);
    readFlag(script, "kinetic", &bar->mKinetic);
    readFloat(script, "kineticSpeed", &bar->mKineticSpeed);
    readFloat(script, "step", &bar->mStep);
    readFlag(script, "locked", &bar->mLocked);
}

void UIManager::loadCheckBoxKeys(UIWidget* widget, LuaScript2& script) {
    if (widget->getType() != kUICheckBox) return;
    readString(script, "thumb", &static_cast<UICheckBox*>(widget)->mThumbName);
}

void UIManager::createCaption(UIWidget* widget, LuaScript2& script) {
    int32_t index = int32_t(widget->mChildren.size());
    readInt(script, "captionOrder", &index);
    UIWidget* caption = widget->findChild("caption");
    const bool created = caption == nullptr;
    if (created) caption = new UILabel("caption", widget);
    caption->mSize = widget->getContentSize();
    if (caption->getType() == kUILabel) {
        UILabel* label = static_cast<UILabel*>(caption);
        label->mHalign = 1;
        label->mValign = 1;
        label->mWordWrap = false;
    }
    loadLabelKeys(caption, script);
    if (!created) return;
    if (index < 0) {
        // Never reachable from the tree: not kept.
        delete caption;
        return;
    }
    caption->addDefaultIdleState();
    widget->addChild(caption, index);
}

void UIManager::createStates(UIWidget* widget, LuaScript2& script) {
    forEachTable(script, "states", [&] {
        std::string id;
        if (!script.getString("id", &id)) return;
        if (!script.openTable("propertyChanges")) return;
        std::unique_ptr<UIState> state(new UIState(id));
        forEachEntry(script, [&] { createState(widget, script, state.get()); });
        script.closeTable();
        if (state->mChanges.empty()) return;
        if (widget->addState(id, state.get())) state.release();
    });
    if (UIState* current = widget->mCurrentState) {
        for (UIState::IPropertyChange* change : current->mChanges) change->finish();
    }
}

void UIManager::createState(UIWidget* owner, LuaScript2& script, UIState* state) {
    std::string targetName, property, transition;
    float duration = 0.0f;
    script.getString("target", &targetName);
    script.getString("property", &property);
    script.getString("transition", &transition);
    readFloat(script, "duration", &duration);
    UIWidget* target = owner->findChild(targetName);
    if (!target) {
        logFormat("ERROR: UIManager::createState bad target widget specified '%s', widget '%s'", targetName.c_str(),
                  owner->mName.c_str());
        return;
    }
    if (property == "transparency") {
        float value = 0.0f;
        readFloat(script, "value", &value);
        state->addChange(new UIState::PropertyChange<float>(target, duration, &target->mTransparency, value));
    } else if (property == "offset" || (property == "scale" && target->getType() == kUISprite)) {
        float pair[2] = {0.0f, 0.0f};
        script.getVector2("value", pair);
        Vector2<float>* field =
            property == "offset" ? &target->mOffset : &static_cast<UISprite*>(target)->mScale;
        state->addChange(
            new UIState::PropertyChange<Vector2<float>>(target, duration, field, Vector2<float>(pair[0], pair[1])));
    } else if (property == "color") {
        Color value;
        script.getColorBytes("value", &value);
        state->addChange(new UIState::PropertyChange<Color>(target, duration, &target->mColor, value));
    } else {
        logFormat("ERROR: UIManager::createState bad property change specified '%s', widget '%s'", property.c_str(),
                  owner->mName.c_str());
    }
}

void UIManager::createEvents(UIWidget* widget, LuaScript2& script) {
    forEachTable(script, "events", [&] {
        std::string element, slot, command;
        script.getString("element", &element);
        script.getString("slot", &slot);
        script.getString("command", &command);
        if (UIWidget* target = widget->findChild(element)) connectCommand(target, slot, command);
    });
}

void UIManager::connectCommand(UIWidget* element, const std::string& slot, const std::string& command) {
    LexBindedFunctionManager* lex = Singleton<LexBindedFunctionManager>::instancePointer();
    if (!lex) return;
    if (LexBindedFunction* function = lex->bindCommand(command)) element->connect(slot, function);
}

void UIManager::createComponents(UIWidget* widget, LuaScript2& script) {
    forEachTable(script, "components", [&] {
        std::string className;
        if (!script.getString("class", &className)) return;
        UIComponent* component = nullptr;
        {
            MutexLock lock(&mMutex);
            auto it = mComponentCreators.find(className);
            if (it != mComponentCreators.end()) component = it->second->create();
        }
        if (!component) return;
        widget->addComponent(component);
        component->load(script);
    });
}

}  // namespace QV
