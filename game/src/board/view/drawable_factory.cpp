#include "board/drawable_factory.h"

extern "C" {
#include <lua.h>
}

#include "board/drawable.h"
#include "board/view/drawable_kinds.h"
#include "lua_script2.h"
#include "board/objects_group.h"

Drawable* createDrawable(const std::string& type, const std::string& file, const std::string& table,
                         const std::string& suffix, int layer) {
    if (type == "Sprite") return new SpriteDrawable(file, table + suffix, layer);
    if (type == "AnimSprite") return new AnimSpriteDrawable(file, table + suffix, layer);
    if (type == "ParticleFX") return new ParticleFXDrawable(file, layer);
    if (type == "Scene") return new SceneDrawable(file, layer, table, suffix);
    return nullptr;
}

Drawable* loadDrawable(QV::LuaScript2& script, const std::string& suffix) {
    lua_State* L = script.state();
    if (!lua_istable(L, -1)) return nullptr;
    std::string texts[3];
    int numbers[2] = {0, 0};
    int position = 0;
    lua_checkstack(L, 4);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (position < 3) {
            script.topToString(&texts[position]);
        } else if (position < 5) {
            int value = 0;
            if (script.topToInt(&value)) numbers[position - 3] = value;
        }
        ++position;
        lua_pop(L, 1);
    }
    if (position == 0) return nullptr;
    const std::string usedSuffix = numbers[1] != 0 ? std::string() : suffix;
    return createDrawable(texts[0], texts[1], texts[2], usedSuffix, numbers[0]);
}

void DrawablesGroup::load(QV::LuaScript2& script, const std::string& suffix) {
    lua_State* L = script.state();
    if (!lua_istable(L, -1)) return;
    lua_checkstack(L, 4);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (Drawable* drawable = loadDrawable(script, suffix)) add(drawable);
        lua_pop(L, 1);
    }
}
