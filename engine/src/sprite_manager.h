#pragma once

#include "singleton.h"

namespace QV {

class Sprite;
class FastSprite;

// Placeholder until sprites land.
template <class T>
class SpriteManager : public Singleton<SpriteManager<T>> {
public:
    SpriteManager() = default;
};

}  // namespace QV
