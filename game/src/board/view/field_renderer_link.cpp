// The board's calls into the renderer and into scene drawables; without a
// renderer (headless runs) they only choose which drawables are active.
#include <memory>

#include "board/behavior.h"
#include "board/board_host.h"
#include "board/chip.h"
#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "board/view/distortion_strategy.h"
#include "board/drawable.h"
#include "board/view/drawable_kinds.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "board/view/game_field_renderer.h"

namespace {

void queueDrawable(GameFieldRenderer* renderer, Drawable* drawable, float x, float y) {
    if (renderer) renderer->queueDrawable(drawable, x, y);
}

// The idle scene drawables of a layer.
template <class F>
void forEachIdleScene(const DrawablesGroup& group, F f) {
    for (Drawable* drawable : group) {
        if (auto* scene = dynamic_cast<SceneDrawable*>(drawable)) {
            if (scene->getScene()) f(scene->getScene());
        }
    }
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

void Behavior::playIdleMarker(const std::string& name) {
    forEachIdleScene(onIdleDrawables, [&](AE::ISceneNode* scene) {
        if (AE::Marker* marker = scene->findMarker(name)) marker->play(true);
    });
}

void Behavior::activateSceneNode(const std::string& name) {
    forEachIdleScene(onIdleDrawables, [&](AE::ISceneNode* scene) {
        if (AE::ISceneNode* node = scene->findNode(name)) node->setEnabled(true);
    });
}

QV::Vector2<float> GameField::cellToScreen(const QV::Vector2<float>& position) const {
    QV::Vector2<float> point = position * static_cast<float>(cellSize);
    // The renderer draws the board moved by its camera's origin.
    if (renderer) point += QV::Vector2<float>(renderer->camera.x, renderer->camera.y);
    return point;
}

GameFieldEffectList* GameField::effectList() {
    if (renderer) return renderer->getEffects();
    if (!headlessEffects) headlessEffects = std::make_unique<GameFieldEffectList>();
    return headlessEffects.get();
}

void GameField::rendererClearQueue() {
    if (!renderer) return;
    renderer->clearQueue();
    renderer->clearDistortions();
}

void GameField::rendererClearEffects() {
    if (renderer) renderer->getEffects()->clear();
    if (headlessEffects) headlessEffects->clear();
}

void GameField::rendererPlayHighlight() {
    if (!renderer) return;
    // A tile strength without pictures stops the level here, not at its first frame.
    for (int row = 0; row <= gridHeight; ++row) {
        for (int column = 0; column < gridWidth; ++column) {
            if (const Cell* cell = cellAt(column, row)) renderer->checkCellSolidity(*cell);
        }
    }
    renderer->playHighlight();
}

void GameField::rendererAddExplosionDistortion(const Chip* chip) {
    if (!renderer || !chip) return;
    DistortionRecord record;
    record.x = float(cellSize) * chip->position.x;
    record.y = float(cellSize) * chip->position.y;
    record.scaleX = record.scaleY = 0.1f;
    record.duration = record.timeLeft = 0.5f;
    record.kind = 0;
    renderer->addDistortion(record);
}

void GameField::rendererSpawnTileExplosion(const Cell* cell) {
    if (!renderer || !cell) return;
    renderer->spawnTileExplosion(
        QV::Vector2<float>(float(cellSize) * float(cell->column), float(cellSize) * float(cell->row)));
}
