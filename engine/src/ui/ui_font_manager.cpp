#include "ui/ui_font_manager.h"

extern "C" {
#include <lua.h>
}

#include <pugixml.hpp>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "file.h"
#include "file_system.h"
#include "lua_script2.h"
#include "report_assert.h"
#include "ui/ui_font.h"

namespace QV {

namespace {

// A number field of the table on top of the stack.
bool numberField(lua_State* L, const char* name, double* value) {
    lua_getfield(L, -1, name);
    const bool ok = lua_isnumber(L, -1) != 0;
    if (ok) *value = lua_tonumber(L, -1);
    lua_pop(L, 1);
    return ok;
}

int32_t integerField(lua_State* L, const char* name) {
    double value = 0.0;
    if (!numberField(L, name, &value) || !std::isfinite(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

float floatField(lua_State* L, const char* name) {
    double value = 0.0;
    return numberField(L, name, &value) ? static_cast<float>(value) : 0.0f;
}

}  // namespace

UIFontManager::~UIFontManager() {
    for (auto& entry : mFonts) delete entry.second;
    mFonts.clear();
    mFontPackage.clear();
}

UIFont* UIFontManager::getFont(const std::string& name) {
    if (name.empty()) return nullptr;
    auto it = mFonts.find(name);
    if (it != mFonts.end()) {
        it->second->addReference();
        return it->second;
    }
    UIFont* font = new UIFont(name, fontPackage());
    mFonts[name] = font;
    font->addReference();
    return font;
}

void UIFontManager::releaseFont(UIFont* font) {
    for (auto it = mFonts.begin(); it != mFonts.end(); ++it) {
        if (it->second != font) continue;
        if (font->releaseReference() <= 0) {
            delete font;
            mFonts.erase(it);
        }
        return;
    }
}

const std::string& UIFontManager::fontPackage() {
    if (mPackageKnown) return mFontPackage;
    std::unique_ptr<File> file(Singleton<FileSystem>::instance()->open("localization", "font_settings_xml"));
    if (!file) {
        mFontPackage = "default";
    } else {
        std::vector<char> bytes;
        const uint32_t size = readWholeFile(*file, bytes);
        file->close();
        pugi::xml_document document;
        if (!document.load_buffer(bytes.data(), size)) QV_FATAL("Failed to parse XML");
        mFontPackage = document.child("root").child("package").attribute("value").value();
    }
    mPackageKnown = true;
    return mFontPackage;
}

int32_t UIFontManager::loadPreset(FontPreset* preset, const std::string& tableName, const std::string& scriptName) {
    if (!preset) return 1;
    LuaScript2 script(createLuaState());
    if (!script.loadScript(scriptName, fontPackage())) return 1;
    if (!script.openTable(tableName.c_str())) return 1;
    lua_State* L = script.state();
    preset->halign = integerField(L, "halign");
    preset->valign = integerField(L, "valign");
    preset->xcoeff = floatField(L, "xcoeff");
    preset->ycoeff = floatField(L, "ycoeff");
    bool wordWrap = false;
    script.getBool("wordWrap", &wordWrap);
    preset->wordWrap = wordWrap;
    if (!script.getColorBytes("color", &preset->color)) preset->color = Color::fromBytes(255, 255, 255, 255);
    std::string font;
    if (!script.getString("font", &font)) font = "system_font_fnt";
    preset->font = getFont(font);
    script.closeTable();
    return 0;
}

}  // namespace QV
