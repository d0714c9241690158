#include "ui/ui_font.h"

extern "C" {
#include <lua.h>
}

#include <cmath>
#include <limits>

#include "config_manager.h"
#include "fast_sprite.h"
#include "format_string.h"
#include "lua_script2.h"
#include "render_system.h"
#include "report_assert.h"
#include "sprite_manager.h"

namespace QV {

namespace {

[[noreturn]] void descriptionFault(int line, const std::string& description = std::string()) {
    reportAssert("QV", description, "ui_font", line);
    breakpointTrap();
}

// Element i (1-based) of the table on top as a number; 0 when missing.
double numberAt(lua_State* L, int i) {
    lua_rawgeti(L, -1, i);
    const double value = lua_isnumber(L, -1) ? lua_tonumber(L, -1) : 0.0;
    lua_pop(L, 1);
    return value;
}

// Truncated toward zero, low 16 bits kept.
uint16_t codeUnit(double value) {
    if (!std::isfinite(value)) return 0;
    const double t = std::trunc(value);
    if (t >= 9.2e18 || t <= -9.2e18) return 0;
    return static_cast<uint16_t>(static_cast<uint64_t>(static_cast<int64_t>(t)) & 0xFFFF);
}

int countEntries(lua_State* L) {
    int count = 0;
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        ++count;
        lua_pop(L, 1);
    }
    return count;
}

void destroyLevelSprite(UIFontLevel& level) {
    if (!level.sprite) return;
    if (SpriteManager<FastSprite>* sprites = SpriteManager<FastSprite>::instancePointer()) {
        sprites->destroySprite(level.sprite);
    }
    level.sprite = nullptr;
}

}  // namespace

UIFont::UIFont(const std::string& name, const std::string& package) : mGlyphIndex(new uint16_t[kIndexSize]) {
    for (uint32_t i = 0; i < kIndexSize; ++i) mGlyphIndex[i] = kNoGlyph;
    load(name, package);
}

UIFont::~UIFont() {
    for (int i = 0; i < mLevelCount; ++i) destroyLevelSprite(mLevels[i]);
}

void UIFont::releaseLevels() {
    for (int i = 0; i < mLevelCount; ++i) {
        destroyLevelSprite(mLevels[i]);
        mLevels[i].scale = 1.0f;
    }
    mLevelCount = 0;
}

void UIFont::load(const std::string& name, const std::string& package) {
    LuaScript2 script(createLuaState());
    if (!script.loadScript(name, package)) {
        descriptionFault(52, formatString("Failed to load %s in %s package", name.c_str(), package.c_str()));
    }
    lua_State* L = script.state();
    lua_settop(L, 0);
    releaseLevels();
    for (uint32_t i = 0; i < kIndexSize; ++i) mGlyphIndex[i] = kNoGlyph;
    mGlyphCount = 0;

    for (int i = 0; i < kMaxLevels; ++i) {
        std::string image;
        script.getString(i == 0 ? "Image" : formatString("MIP%i", i).c_str(), &image);
        if (image.empty()) continue;
        UIFontLevel& level = mLevels[mLevelCount++];
        lua_getglobal(L, formatString("MIP%iScale", i).c_str());
        level.scale = lua_isnumber(L, -1) ? static_cast<float>(lua_tonumber(L, -1)) : 1.0f;
        lua_pop(L, 1);
        level.image = image;
        level.package = package;
        level.sprite = nullptr;
    }
    selectMipLevel();

    lua_getglobal(L, "CharList");
    if (!lua_istable(L, -1)) descriptionFault(90);
    const int count = countEntries(L);
    lua_pop(L, 1);
    // Glyph numbers are 16-bit and 0xFFFF means none.
    if (count > static_cast<int>(kNoGlyph)) {
        descriptionFault(90, formatString("Font %s lists more than %i characters", name.c_str(), int(kNoGlyph)));
    }
    mGlyphCount = count;

    std::vector<uint16_t> codes(static_cast<size_t>(count), 0);
    for (int t = 0; t < mLevelCount; ++t) {
        UIFontLevel& level = mLevels[t];
        level.glyphs.assign(static_cast<size_t>(count), UIFontGlyph());
        const std::string list = t == 0 ? std::string("CharList") : formatString("CharList%i", t);
        lua_getglobal(L, list.c_str());
        if (!lua_istable(L, -1)) descriptionFault(106, "Failed to open font CharList table!");
        int number = 0;
        lua_pushnil(L);
        while (lua_next(L, -2) != 0) {
            if (!lua_istable(L, -1)) descriptionFault(113);
            // A level list may neither be longer than "CharList" nor name
            // other characters at the same numbers.
            if (number >= count) {
                descriptionFault(113, formatString("Font %s: %s has more entries than CharList", name.c_str(),
                                                   list.c_str()));
            }
            const uint16_t code = codeUnit(numberAt(L, 1));
            if (code == kNoGlyph) descriptionFault(125);
            if (t == 0) {
                codes[static_cast<size_t>(number)] = code;
            } else if (codes[static_cast<size_t>(number)] != code) {
                descriptionFault(113, formatString("Font %s: %s entry %i is not the character of CharList",
                                                   name.c_str(), list.c_str(), number + 1));
            }
            mGlyphIndex[code] = static_cast<uint16_t>(number);
            UIFontGlyph& glyph = level.glyphs[static_cast<size_t>(number)];
            glyph.x = static_cast<float>(numberAt(L, 2));
            glyph.y = static_cast<float>(numberAt(L, 3));
            glyph.width = static_cast<float>(numberAt(L, 4));
            glyph.height = static_cast<float>(numberAt(L, 5));
            ++number;
            lua_pop(L, 1);
        }
        lua_pop(L, 1);
    }

    mWidestWidth = mTallestHeight = 0.0f;
    mWidestCharacter = mTallestCharacter = 0;
    if (mLevelCount == 0 || count == 0) return;
    // The lowest code of each glyph, from one pass over the index.
    std::vector<uint16_t> lowest(static_cast<size_t>(count), 0);
    std::vector<bool> seen(static_cast<size_t>(count), false);
    for (uint32_t c = 0; c < kIndexSize; ++c) {
        const uint16_t g = mGlyphIndex[c];
        if (g == kNoGlyph || g >= count || seen[g]) continue;
        seen[g] = true;
        lowest[g] = static_cast<uint16_t>(c);
    }
    const std::vector<UIFontGlyph>& glyphs = mLevels[0].glyphs;
    for (int g = 0; g < count; ++g) {
        if (glyphs[static_cast<size_t>(g)].width > mWidestWidth) {
            mWidestWidth = glyphs[static_cast<size_t>(g)].width;
            mWidestCharacter = lowest[static_cast<size_t>(g)];
        }
        if (glyphs[static_cast<size_t>(g)].height > mTallestHeight) {
            mTallestHeight = glyphs[static_cast<size_t>(g)].height;
            mTallestCharacter = lowest[static_cast<size_t>(g)];
        }
    }
}

float UIFont::fitScale() {
    RenderSystem* render = RenderSystem::instancePointer();
    if (!render) return 1.0f;
    Vector2<float> size, offset;
    float scale = 1.0f;
    render->getWorkspaceFit(size, offset, scale);
    return scale;
}

UIFontLevel* UIFont::selectMipLevel() {
    if (mLevelCount == 0) return nullptr;
    const float s = fitScale();
    int chosen = 0;
    float best = std::numeric_limits<float>::infinity();
    for (int i = 0; i < mLevelCount; ++i) {
        const float distance = std::fabs(s - mLevels[i].scale);
        if (distance <= best) {
            best = distance;
            chosen = i;
        }
    }
    for (int i = 0; i < mLevelCount; ++i) {
        if (i != chosen) destroyLevelSprite(mLevels[i]);
    }
    UIFontLevel& level = mLevels[chosen];
    if (!level.sprite) {
        level.sprite = SpriteManager<FastSprite>::instance()->createSpriteFromImage(level.image, level.package);
    }
    return &level;
}

int UIFont::currentLevel() const {
    for (int i = 0; i < mLevelCount; ++i) {
        if (mLevels[i].sprite) return i;
    }
    return -1;
}

Vector2<float> UIFont::snapToPixels(const Vector2<float>& position) const {
    const float s = fitScale();
    if (!(s > 0.0f) || !std::isfinite(s)) return position;
    auto snap = [s](float c) {
        const float scaled = c * s;
        const float whole = std::trunc(scaled);
        return (scaled - whole > 0.5f ? whole + 1.0f : whole) / s;
    };
    return Vector2<float>(snap(position.x), snap(position.y));
}

float UIFont::measureRun(const char16_t* first, const char16_t* end, float xcoeff) const {
    if (!measurable() || !first || first >= end) return 0.0f;
    const std::vector<UIFontGlyph>& glyphs = mLevels[0].glyphs;
    const float spacing = mSpacingX * xcoeff;
    float width = 0.0f;
    for (const char16_t* c = first; c < end; ++c) {
        const uint16_t g = glyphOf(*c);
        if (g == kNoGlyph) continue;
        width += glyphs[g].width + spacing;
    }
    return width;
}

bool UIFont::isCjkLanguage(const std::string& language) {
    return language == "ja" || language == "JA" || language == "ko" || language == "KO" || language == "ch" ||
           language == "CH";
}

UIFont::BreakPoint UIFont::canBreak(char16_t c, char16_t next) {
    const ConfigManager* config = ConfigManager::instancePointer();
    return canBreak(c, next, config && isCjkLanguage(config->currentLanguage()));
}

UIFont::BreakPoint UIFont::canBreak(char16_t c, char16_t next, bool cjk) {
    bool allowed;
    if (!cjk) {
        allowed = c == u' ' || c == u'\n';
    } else if (next == 0x3001 || next == 0x3002 || next == 0xFF1F || next == 0xFF01) {
        // These never begin a line.
        allowed = false;
    } else {
        allowed = c == u' ' || c == u'\n' || c > 0x00FF;
    }
    return BreakPoint{allowed, allowed ? c : char16_t(0)};
}

float UIFont::lineHeight(float ycoeff) const {
    const float glyph0 = measurable() ? mLevels[0].glyphs[0].height : 0.0f;
    return mSpacingY * ycoeff + glyph0;
}

float UIFont::totalHeight(int lineCount, float ycoeff) const {
    const float lh = lineHeight(ycoeff);
    if (lineCount <= 1) return lh;
    return float(lineCount) * lh - mSpacingY * ycoeff;
}

}  // namespace QV
