#include "board/game_field_effect.h"

#include <algorithm>

GameFieldEffectList::~GameFieldEffectList() { clear(); }

void GameFieldEffectList::add(GameFieldEffect* effect) {
    if (!effect || std::find(effects.begin(), effects.end(), effect) != effects.end()) return;
    effects.push_back(effect);
    std::stable_sort(effects.begin(), effects.end(),
                     [](const GameFieldEffect* a, const GameFieldEffect* b) { return a->layer > b->layer; });
}

void GameFieldEffectList::update(float dt) {
    if (!enabled) return;
    const std::vector<GameFieldEffect*> current = effects;
    for (GameFieldEffect* effect : current) effect->update(dt);
    for (size_t i = 0; i < effects.size();) {
        if (effects[i]->finished) {
            GameFieldEffect* done = effects[i];
            effects.erase(effects.begin() + long(i));
            delete done;
        } else {
            ++i;
        }
    }
}

void GameFieldEffectList::draw() {
    if (!enabled) return;
    for (size_t i = 0; i < effects.size(); ++i) effects[i]->draw();
}

void GameFieldEffectList::clear() {
    std::vector<GameFieldEffect*> gone;
    gone.swap(effects);
    for (GameFieldEffect* effect : gone) delete effect;
}
