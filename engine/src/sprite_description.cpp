#include "sprite_description.h"

#include "animation_lua_values.h"
#include "format_string.h"
#include "lua_script2.h"
#include "render_data.h"
#include "report_assert.h"
#include "sprite_texture_access.h"
#include "xml_data_reader.h"

namespace QV {

namespace {

Texture* frameTexture(const std::string& image, const std::string& package) {
    Texture* texture = requestSpriteTexture(image, package);
    if (!texture) QV_FATAL("Failed to load texture");
    return texture;
}

// Without a rectangle frame 0 is the whole texture and later frames are empty.
Rect defaultFrame(uint32_t k, const Texture* texture) {
    if (k != 0) return Rect();
    return Rect(0.0f, 0.0f, float(spriteTextureWidth(texture)), float(spriteTextureHeight(texture)));
}

}  // namespace

void applyBlendWord(RenderData* data, bool found, const std::string& word) {
    if (!found || word == "alpha") {
        data->mBlendMode = 0;
    } else if (word == "color") {
        data->mBlendMode = 1;
    } else if (word == "add") {
        data->mBlendMode = 2;
    }
}

void parseSpriteFrames(LuaScript2& script, RenderData* data, std::vector<Rect>& frames) {
    int paired = 0;
    script.pushField("ETC1PairedTextures");
    script.topToInt(&paired);
    lua_pop(script.state(), 1);
    data->mCopiedValue = paired;
    for (uint32_t k = 0;; ++k) {
        std::string image;
        if (!script.getString(formatString("Image%u", k).c_str(), &image)) break;
        std::string package;
        if (!script.getString(formatString("Package%u", k).c_str(), &package)) package = "default";
        Texture* texture = frameTexture(image, package);
        data->addTexture(texture);
        Rect frame;
        if (!readLuaRect(script, formatString("SrcRect%u", k).c_str(), &frame)) frame = defaultFrame(k, texture);
        frames.push_back(frame);
    }
}

void parseSpriteFrames(XmlDataReader& reader, RenderData* data, std::vector<Rect>& frames) {
    int paired = 0;
    reader.readInt("ETC1PairedTextures", &paired);
    data->mCopiedValue = paired;
    for (uint32_t k = 0;; ++k) {
        std::string image;
        if (!reader.readString(formatString("Image%u", k).c_str(), &image)) break;
        std::string package;
        if (!reader.readString(formatString("Package%u", k).c_str(), &package)) package = "default";
        Texture* texture = frameTexture(image, package);
        data->addTexture(texture);
        Rect frame;
        if (!reader.readRect(formatString("SrcRect%u", k).c_str(), &frame)) frame = defaultFrame(k, texture);
        frames.push_back(frame);
    }
}

Rect useWholeTexture(RenderData* data, Texture* texture, std::vector<Rect>& frames) {
    uint32_t w = 32, h = 32;
    if (texture) {
        data->addTexture(texture);
        w = spriteTextureWidth(texture);
        h = spriteTextureHeight(texture);
    }
    const Rect whole(0.0f, 0.0f, float(w), float(h));
    if (frames.empty()) {
        frames.push_back(whole);
    } else {
        frames[0] = whole;
    }
    return whole;
}

}  // namespace QV
