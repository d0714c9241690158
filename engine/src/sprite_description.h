#pragma once

#include <string>
#include <vector>

#include "rect.h"

namespace QV {

class LuaScript2;
class RenderData;
class Texture;
class XmlDataReader;

// Steps shared by the sprite and the fast sprite descriptions.

// "alpha" 0, "color" 1, "add" 2, a missing key 0; another word leaves the
// record's blend mode as it is.
void applyBlendWord(RenderData* data, bool found, const std::string& word);

// "ETC1PairedTextures", then Image<k>, Package<k> ("default") and
// SrcRect<k> for k = 0, 1, ... until Image<k> is missing. Each texture is
// added to the record (one reference); a missing texture is fatal.
void parseSpriteFrames(LuaScript2& script, RenderData* data, std::vector<Rect>& frames);
void parseSpriteFrames(XmlDataReader& reader, RenderData* data, std::vector<Rect>& frames);

// Binds the texture (when there is one) and makes its whole area the first
// frame; without a texture the frame is 32x32. Returns that frame.
Rect useWholeTexture(RenderData* data, Texture* texture, std::vector<Rect>& frames);

}  // namespace QV
