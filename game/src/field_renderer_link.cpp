// The board's calls into the renderer and into scene drawables. The board
// runs without them: until the drawing code exists these do nothing but the
// choice of which drawables are active.
#include "behavior.h"
#include "board_host.h"
#include "chip.h"
#include "drawable.h"
#include "game_field.h"

namespace {

void queueDrawable(GameFieldRenderer* renderer, Drawable* drawable, float x, float y) {
    (void)renderer, (void)drawable, (void)x, (void)y;
}

float boardOpacity(const GameField* field) {
    return field && field->level ? field->level->boardOpacity() : 1.0f;
}

}  // namespace

void DrawablesGroup::drawAll(GameFieldRenderer* renderer, Chip* chip, int x, int y) {
    (void)chip;
    for (Drawable* drawable : items) {
        drawable->clipEnabled = false;
        queueDrawable(renderer, drawable, static_cast<float>(x), static_cast<float>(y));
    }
}

void Behavior::draw(GameFieldRenderer* renderer, GameField* field, Chip* chip, int x, int y) {
    const float opacity = boardOpacity(field);
    if (!chip->selected) {
        onSelectDrawables.setActiveAll(false);
        inGroupDrawables.setActiveAll(false);
        bool shine = false;
        if (!hotspotDrawables.empty() && field) {
            const float period = field->chipHotspotAnimationSpeed;
            const float start = ((chip->position.x - 0.5f) + (chip->position.y - 0.5f)) * 0.5f * period *
                                field->chipHotspotDelayCoeff;
            shine = start <= field->hotspotTime && field->hotspotTime < start + period;
        }
        if (shine) {
            hotspotDrawables.setActiveAll(true);
            onIdleDrawables.setActiveAll(false);
            hotspotDrawables.setOpacityAll(opacity);
            hotspotDrawables.drawAll(renderer, chip, x, y);
        } else {
            onIdleDrawables.setActiveAll(true);
            onIdleDrawables.setOpacityAll(opacity);
            onIdleDrawables.drawAll(renderer, chip, x, y);
            hotspotDrawables.setActiveAll(false);
        }
    } else if (!onSelectDrawables.empty()) {
        onSelectDrawables.setActiveAll(true);
        hotspotDrawables.setActiveAll(false);
        onIdleDrawables.setActiveAll(false);
        inGroupDrawables.setActiveAll(false);
        onSelectDrawables.setOpacityAll(opacity);
        onSelectDrawables.drawAll(renderer, chip, x, y);
    } else {
        onSelectDrawables.setActiveAll(false);
        onIdleDrawables.setActiveAll(true);
        hotspotDrawables.setActiveAll(false);
        onIdleDrawables.setOpacityAll(opacity);
        onIdleDrawables.drawAll(renderer, chip, x, y);
    }
    if (chip->detonating >= 1) {
        onDetonateDrawables.setActiveAll(true);
        onDetonateDrawables.setOpacityAll(opacity);
        onDetonateDrawables.drawAll(renderer, chip, x, y);
    } else {
        onDetonateDrawables.setActiveAll(false);
    }
}

void Behavior::playIdleMarker(const std::string& name) { (void)name; }

void Behavior::activateSceneNode(const std::string& name) { (void)name; }

QV::Vector2<float> GameField::cellToScreen(const QV::Vector2<float>& position) const {
    return position * static_cast<float>(cellSize);
}

void GameField::rendererClearQueue() {}

void GameField::rendererClearEffects() {}

void GameField::rendererPlayHighlight() {}

void GameField::rendererAddExplosionDistortion(const Chip* chip) { (void)chip; }

void GameField::rendererSpawnTileExplosion(const Cell* cell) { (void)cell; }
