#pragma once

#include <string>

class Drawable;

namespace QV {
class LuaScript2;
}

// A new drawable of the type ("Sprite", "AnimSprite", "ParticleFX", "Scene")
// or null. The board runs without drawables: until the drawing code provides
// the kinds, every type yields null.
Drawable* createDrawable(const std::string& type, const std::string& file, const std::string& table,
                         const std::string& suffix, int layer);

// Reads the drawable entry on the stack top (five positional values) and
// hands it to createDrawable.
Drawable* loadDrawable(QV::LuaScript2& script, const std::string& suffix);
