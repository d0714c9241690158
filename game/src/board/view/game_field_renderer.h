#pragma once

#include <vector>

#include "camera.h"
#include "board/cell.h"
#include "board/view/distortion_strategy.h"
#include "vector2.h"

class Drawable;
class GameField;
class GameFieldEffectList;

namespace QV {
class Animation;
class ParticleFX;
class Sprite;
}  // namespace QV

// Draws one level's board: tiles, shadows, the glint over tiles of two
// layers, the board's managed particles, the chips' and the free drawables
// in layer order, the hint, the distortion pass and the field effects.
class GameFieldRenderer {
public:
    explicit GameFieldRenderer(GameField* field);
    GameFieldRenderer(const GameFieldRenderer&) = delete;
    GameFieldRenderer& operator=(const GameFieldRenderer&) = delete;
    virtual ~GameFieldRenderer();

    virtual void draw();
    void update(float dt);

    void queueDrawable(Drawable* drawable, float x, float y);
    void clearQueue() { drawableQueue.clear(); }
    // The wave of light over every solid tile that starts a level.
    void playHighlight();
    // Sand thrown up where a tile lost a layer (a managed effect of layer 1).
    void spawnTileExplosion(const QV::Vector2<float>& point);

    void addDistortion(const DistortionRecord& record);
    void clearDistortions() { distortions.clear(); }
    void updateDistortions(float dt);
    void drawDistortions();
    void spawnTorchDistortions(float dt);

    // A cell's solidity beyond the loaded sets is fatal, naming the cell.
    void checkCellSolidity(const Cell& cell) const;
    size_t cellSetCount() const { return cellSpriteSets.size(); }

    GameFieldEffectList* getEffects() const { return effects; }
    const std::vector<FreeDrawable>& getQueue() const { return drawableQueue; }
    const std::vector<DistortionRecord>& getDistortions() const { return distortions; }
    QV::Animation* getBlindTileAnimation() const { return blindTileAnimation; }
    float getBlindTileTimer() const { return blindTileTimer; }

    QV::Camera camera;
    float distortionAlpha = 1.0f;

private:
    void loadCellSprites();
    void drawCell(Cell& cell, int x, int y, int column, int row, float opacity);
    void flushQueue();
    DistortionStrategy* strategy(int32_t kind, int line);

    GameField* field;
    std::vector<std::vector<QV::Sprite*>> cellSpriteSets;
    QV::Sprite* blindTile = nullptr;
    QV::Animation* blindTileAnimation = nullptr;
    std::vector<QV::Sprite*> shadows;
    std::vector<FreeDrawable> drawableQueue;
    float blindTileTimer = 0.0f;
    GameFieldEffectList* effects = nullptr;
    QV::ParticleFX* tileExplosionPrototype = nullptr;
    std::vector<DistortionRecord> distortions;
    DistortionFromExplosionStrategy explosionStrategy;
    DistortionFromTorchStrategy torchStrategy;
};
