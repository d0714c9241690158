#include "font.h"

extern "C" {
#include <lua.h>
}

#include <cmath>
#include <cstdint>

#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "lua_script2.h"
#include "rect.h"
#include "report_assert.h"
#include "sprite.h"
#include "sprite_manager.h"

namespace QV {

namespace {

// Description faults carry no text: the line tells them apart (29 script not
// run, 36 "Image" missing or of another type, 65 "CharList" missing, 76 codes
// not ascending).
[[noreturn]] void descriptionFault(int line, const std::string& description = std::string()) {
    reportAssert("QV", description, "font", line);
    breakpointTrap();
}

int32_t truncateCode(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

struct Record {
    int32_t code;
    float x, y, width, height;
};

}  // namespace

Font::~Font() { release(); }

void Font::release() {
    mGlyphs.clear();
    mGlyphs.shrink_to_fit();
    if (mSprite) {
        if (SpriteManager<Sprite>* sprites = SpriteManager<Sprite>::instancePointer()) sprites->destroySprite(mSprite);
        mSprite = nullptr;
    }
    mFirstCode = mLastCode = mGlyphCount = 0;
}

bool Font::load(const std::string& name) {
    release();
    FileSystem* files = FileSystem::instancePointer();
    if (!files || !files->hasFile("default", name)) {
        logLine(formatString("WARNING: Debug font '%s' is not in the file lists", name.c_str()));
        return false;
    }
    LuaScript2 script(createLuaState());
    lua_State* L = script.state();
    if (!runScriptFile(L, name)) descriptionFault(29);
    lua_settop(L, 0);

    lua_getglobal(L, "Image");
    const int imageType = lua_type(L, -1);
    lua_pop(L, 1);
    if (imageType != LUA_TSTRING && imageType != LUA_TNUMBER) descriptionFault(36);
    // Whatever the description names, the debug font's picture is this one.
    mSprite = SpriteManager<Sprite>::instance()->createSpriteFromImage("font2_image", "default");

    lua_getglobal(L, "CharList");
    if (!lua_istable(L, -1)) descriptionFault(65);
    std::vector<Record> records;
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        float code = 0, x = 0, y = 0, w = 0, h = 0;
        if (LuaStackSlot(L, lua_gettop(L)).readFiveNumbers(&code, &x, &y, &w, &h)) {
            records.push_back(Record{truncateCode(code), x, y, w, h});
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    if (records.empty()) return true;

    const int64_t first = records.front().code;
    const int64_t last = records.back().code;
    const int64_t count = last - first + 1;
    // A descending list gives a negative range; a repeated code a range
    // smaller than the list.
    if (count < static_cast<int64_t>(records.size())) descriptionFault(76);
    if (count > kMaxGlyphCount) {
        descriptionFault(76, formatString("Font %s spans more than %i codes", name.c_str(), kMaxGlyphCount));
    }
    mFirstCode = static_cast<int32_t>(first);
    mLastCode = static_cast<int32_t>(last);
    mGlyphCount = static_cast<int32_t>(count);
    mGlyphs.assign(static_cast<size_t>(count), FontGlyph());
    // The first record of each code fills its glyph.
    for (const Record& r : records) {
        const int64_t k = static_cast<int64_t>(r.code) - first;
        if (k < 0 || k >= count) continue;
        FontGlyph& g = mGlyphs[static_cast<size_t>(k)];
        if (g.index != -1) continue;
        g.x = r.x;
        g.y = r.y;
        g.width = r.width;
        g.height = r.height;
        g.index = static_cast<int32_t>(k);
    }
    return true;
}

int32_t Font::glyphForByte(uint8_t byte) const {
    const int32_t d = (static_cast<int32_t>(byte) - (mFirstCode & 0xFF)) & 0xFF;
    if (d >= mGlyphCount || mGlyphs[static_cast<size_t>(d)].index == -1) return -1;
    return d;
}

void Font::drawText(const Vector2<float>& position, const std::string& text, float scale, const Color& color) {
    if (!mSprite) return;
    float advance = 0.0f;
    for (char c : text) {
        const int32_t d = glyphForByte(static_cast<uint8_t>(c));
        if (d < 0) continue;
        const FontGlyph& g = mGlyphs[static_cast<size_t>(d)];
        mSprite->setSrcRect(0, Rect(g.x, g.y, g.x + g.width, g.y + g.height), false);
        mSprite->updateTexCoords();
        mSprite->setPosition(position.x + advance, position.y);
        mSprite->setSize(Vector2<float>(g.width, g.height));
        mSprite->setColor(color);
        mSprite->updateVertices();
        mSprite->draw();
        advance += scale != 1.0f ? g.width * scale : g.width;
    }
}

void Font::drawText(const std::string& text, float x, float y, float scale, float r, float g, float b, float a) {
    drawText(Vector2<float>(x, y), text, scale, Color(r, g, b, a));
}

}  // namespace QV
