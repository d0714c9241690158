#pragma once

#include <string>

#include "board/game_field_effect.h"
#include "vector2.h"

class Cell;
class GameField;

namespace AE {
class ISceneNode;
}
namespace QV {
class ParticleFX;
class Sprite;
}  // namespace QV

// A scene on one cell that starts its marker after a delay: the highlight
// wave of a level start. It runs until the list is cleared.
class TileChipEffect : public GameFieldEffect {
public:
    // Takes the scene; the root is put on the cell's top-left corner.
    TileChipEffect(GameField* field, const std::string& marker, Cell* cell, AE::ISceneNode* scene, float delay);
    ~TileChipEffect() override;

    void update(float dt) override;
    void draw() override;

    bool isStarted() const { return started; }
    AE::ISceneNode* getScene() const { return scene; }
    const Cell* getCell() const { return cell; }

private:
    GameField* field;
    AE::ISceneNode* scene;
    std::string marker;
    float delay;
    bool started = false;
    Cell* cell;
};

// A particle effect flying in a straight line at constant speed, after a delay.
class FlyingEffect : public GameFieldEffect {
public:
    FlyingEffect(const std::string& file, const QV::Vector2<float>& start, const QV::Vector2<float>& end,
                 float duration, float delay);
    ~FlyingEffect() override;

    void update(float dt) override;
    void draw() override;

    const QV::Vector2<float>& getPosition() const { return position; }
    QV::ParticleFX* getEffect() const { return effect; }

private:
    QV::ParticleFX* effect;
    QV::Vector2<float> start;
    QV::Vector2<float> end;
    float duration;
    float timeLeft;
    float delay;
    QV::Vector2<float> position;
};

// The ring that spreads from an iced chip for 1.2 s, drawn only on the solid
// tiles it covers and never over iced chips.
class FreezingRingEffect : public GameFieldEffect {
public:
    static constexpr float kLifetime = 1.2f;

    // centre in cells (a chip position); scale: the final radius in cells.
    FreezingRingEffect(GameField* field, const QV::Vector2<float>& centre, float scale);
    ~FreezingRingEffect() override;

    void update(float dt) override;
    void draw() override;

    float getElapsed() const { return elapsed; }
    QV::Sprite* getSprite() const { return sprite; }

private:
    GameField* field;
    QV::Vector2<float> centre;
    float elapsed = 0.0f;
    float scale;
    QV::Sprite* sprite;
    float imageWidth;
};
