#include "board/view/field_effects.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/marker.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "board/behavior_kind.h"
#include "board/board_host.h"
#include "board/cell.h"
#include "board/chip.h"
#include "color.h"
#include "board/game_field.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "rect.h"
#include "board/view/drawable_kinds.h"
#include "sprite.h"
#include "sprite_manager.h"

namespace {

float boardOpacity(const GameField* field) {
    return field && field->level ? field->level->boardOpacity() : 1.0f;
}

void renderEmitters(QV::ParticleFX* effect) {
    for (QV::ParticleEmitter* emitter : effect->mParticleEmitters) emitter->render(effect->mPosition);
}

}  // namespace

// Tile highlight.

TileChipEffect::TileChipEffect(GameField* field, const std::string& marker, Cell* cell, AE::ISceneNode* scene,
                               float delay)
    : GameFieldEffect(1), field(field), scene(scene), marker(marker), delay(delay), cell(cell) {
    const float size = float(field->cellSize);
    scene->setPosition(QV::Vector2<float>(size * float(cell->column), size * float(cell->row)));
}

TileChipEffect::~TileChipEffect() { delete scene; }

void TileChipEffect::update(float dt) {
    if (started) {
        scene->update(dt);
        return;
    }
    delay -= dt;
    if (delay > 0.0f) return;
    started = true;
    if (AE::Marker* found = scene->getMarker(marker)) found->play(true);
}

void TileChipEffect::draw() {
    if (!started) return;
    BoardHost* level = field->level;
    if (level && (level->dialogBlocksBoard() || level->levelEffectStarted())) return;
    if (!cell->chip && !cell->reserved) return;
    AE::drawScene(scene);
}

// Flight.

FlyingEffect::FlyingEffect(const std::string& file, const QV::Vector2<float>& start, const QV::Vector2<float>& end,
                           float duration, float delay)
    : GameFieldEffect(1000),
      effect(QV::ParticleSystem::instance()->createParticleFX(file)),
      start(start),
      end(end),
      duration(duration),
      timeLeft(duration),
      delay(delay),
      position(start) {
    if (!effect) return;
    effect->mPosition = start;
    effect->restart();
    effect->mPlaying = true;
}

FlyingEffect::~FlyingEffect() {
    if (effect) QV::ParticleSystem::instance()->releaseParticleFX(effect);
}

void FlyingEffect::update(float dt) {
    if (delay > 0.0f) {
        delay -= dt;
        return;
    }
    timeLeft = std::max(timeLeft - dt, 0.0f);
    const float f = duration > 0.0f ? timeLeft / duration : 0.0f;
    position = QV::Vector2<float>(end.x - (end.x - start.x) * f, end.y - (end.y - start.y) * f);
    if (effect) effect->update(dt);
    if (timeLeft == 0.0f) finished = true;
}

void FlyingEffect::draw() {
    if (!effect) return;
    effect->mPosition = position;
    // Two passes: the flight reads brighter than a resting effect.
    renderEmitters(effect);
    renderEmitters(effect);
}

// Freezing ring.

FreezingRingEffect::FreezingRingEffect(GameField* field, const QV::Vector2<float>& centre, float scale)
    : GameFieldEffect(1000),
      field(field),
      centre(centre),
      scale(scale),
      sprite(boardSprites().createSprite("freezing_ring_sprites", "s_freezing_ring", "default")),
      imageWidth(sprite ? sprite->getSize().x : 0.0f) {}

FreezingRingEffect::~FreezingRingEffect() {
    releaseBoardSprite(sprite);
}

void FreezingRingEffect::update(float dt) {
    elapsed = std::min(elapsed + dt, kLifetime);
    if (elapsed == kLifetime) finished = true;
}

namespace {

// The middle two of four edge coordinates: the overlap of two spans.
void overlap(float a0, float a1, float b0, float b1, float& from, float& to) {
    float e[4] = {a0, a1, b0, b1};
    std::sort(e, e + 4);
    from = e[1];
    to = e[2];
}

}  // namespace

void FreezingRingEffect::draw() {
    if (!sprite) return;
    const float p = elapsed / kLifetime;
    const float cs = float(field->cellSize);
    const float diameter = 2.0f * p * scale * cs;
    if (diameter <= 0.0f) return;
    const float alpha = boardOpacity(field) * (1.0f - p);
    const QV::Rect ring(cs * centre.x - diameter / 2, cs * centre.y - diameter / 2, cs * centre.x + diameter / 2,
                        cs * centre.y + diameter / 2);
    const float t = imageWidth / diameter;
    const int column0 = std::clamp(int(centre.x - diameter / 2 / cs), 0, field->gridWidth - 1);
    const int column1 = std::clamp(int(centre.x + diameter / 2 / cs), 0, field->gridWidth - 1);
    const int row0 = std::clamp(int(centre.y - diameter / 2 / cs), 0, field->gridHeight + 1);
    const int row1 = std::clamp(int(centre.y + diameter / 2 / cs), 0, field->gridHeight + 1);
    for (int row = row0; row <= row1; ++row) {
        if (row == 0) continue;
        for (int column = column0; column <= column1; ++column) {
            Cell* cell = field->cellAt(column, row);
            if (!cell || cell->solidity < 1) continue;
            if (cell->chip && cell->chip->hasBehavior(kIce)) continue;
            QV::Rect piece;
            overlap(cs * float(column), cs * float(column + 1), ring.left, ring.right, piece.left, piece.right);
            overlap(cs * float(row), cs * float(row + 1), ring.top, ring.bottom, piece.top, piece.bottom);
            sprite->setSrcRect(0,
                               QV::Rect((piece.left - ring.left) * t, (piece.top - ring.top) * t,
                                        (piece.right - ring.left) * t, (piece.bottom - ring.top) * t),
                               true);
            sprite->setSize(QV::Vector2<float>(piece.right - piece.left, piece.bottom - piece.top));
            sprite->setPosition(piece.left, piece.top);
            QV::Color colour = cell->colour;
            colour.a = uint8_t(std::clamp(alpha, 0.0f, 1.0f) * 255.0f);
            sprite->setColor(colour);
            sprite->updateVertices();
            sprite->draw();
        }
    }
}
