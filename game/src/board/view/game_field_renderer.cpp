#include "board/view/game_field_renderer.h"

#include <algorithm>
#include <cstdlib>

#include "animation.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "board/behavior.h"
#include "board/board_fatal.h"
#include "board/board_host.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/drawable.h"
#include "board/view/drawable_kinds.h"
#include "board/view/field_effects.h"
#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "lua_script2.h"
#include "board/move_hint.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "render_system.h"
#include "sprite.h"
#include "sprite_manager.h"

extern "C" {
#include <lua.h>
}

namespace {

// Shared by every renderer: the torches flicker on one clock.
float gTorchTimer = 0.0f;

float boardOpacity(const GameField* field) {
    return field && field->level ? field->level->boardOpacity() : 1.0f;
}

// std::rand, not the board's 15-bit generator: its range is RAND_MAX.
float random01() { return float(std::rand()) / float(RAND_MAX); }

void drawCellSprite(QV::Sprite& sprite, float x, float y, float size, float angle, const QV::Color& colour) {
    sprite.setPosition(x, y);
    if (sprite.getSize().x != size || sprite.getSize().y != size) sprite.setSize(QV::Vector2<float>(size, size));
    sprite.setAngle(angle);
    sprite.setColor(colour);
    sprite.updateVertices();
    sprite.draw();
}

}  // namespace

GameFieldRenderer::GameFieldRenderer(GameField* field) : field(field) {
    drawableQueue.reserve(1000);
    setDrawableCellSize(field->cellSize);
    loadCellSprites();
    blindTile = boardSprites().createSprite("game_field_sprites", "s_blind_tile", "default");
    blindTileAnimation = new QV::Animation();
    blindTile->bindAnimation(blindTileAnimation);
    blindTileAnimation->load("game_field_sprites", "default", "s_blind_tile");
    shadows.resize(size_t(std::max(field->gridWidth, 0)), nullptr);
    for (int c = 0; c < field->gridWidth; ++c)
        shadows[size_t(c)] =
            boardSprites().createSprite("game_field_sprites", QV::formatString("s_p_%d_shadows_psd", c), "default");
    // Without its particle file the tile explosion is left out, not fatal.
    if (QV::Singleton<QV::FileSystem>::instance()->hasFile("default", "explosion_orange_tile_fx"))
        tileExplosionPrototype = QV::ParticleSystem::instance()->createParticleFX("explosion_orange_tile_fx");
    else
        QV::logLine("Particle effect 'explosion_orange_tile_fx' not found: tiles lose layers without an explosion");
    distortions.reserve(128);
    explosionStrategy.loadSprite();
    torchStrategy.loadSprite();
    effects = new GameFieldEffectList();
}

GameFieldRenderer::~GameFieldRenderer() {
    delete effects;
    for (QV::Sprite* shadow : shadows) {
        releaseBoardSprite(shadow);
    }
    releaseBoardSprite(blindTile);
    delete blindTileAnimation;
    if (tileExplosionPrototype) QV::ParticleSystem::instance()->releaseParticleFX(tileExplosionPrototype);
    for (std::vector<QV::Sprite*>& set : cellSpriteSets) {
        for (QV::Sprite* sprite : set) releaseBoardSprite(sprite);
    }
}

void GameFieldRenderer::loadCellSprites() {
    QV::LuaScript2 script(QV::createLuaState());
    if (!script.loadScript("cells_lua", "default")) boardFatal("Failed to load script", "GameFieldRenderer", 198);
    if (!script.openTable("CellSprites")) boardFatal("Failed to open table", "GameFieldRenderer", 200);
    lua_State* L = script.state();
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (!script.openTopTable()) boardFatal("Failed to open table", "GameFieldRenderer", 210);
        std::vector<QV::Sprite*> set;
        lua_pushnil(L);
        while (lua_next(L, -2) != 0) {
            if (!script.openTopTable()) boardFatal("Failed to open table", "GameFieldRenderer", 210);
            std::string file, table;
            script.getString("file", &file);
            script.getString("table", &table);
            set.push_back(boardSprites().createSprite(file, table, "default"));
            script.closeTable();
            lua_pop(L, 1);
        }
        // An empty set would leave its cells without a picture to pick.
        if (set.empty()) boardFatal("Failed to open table", "GameFieldRenderer", 210);
        cellSpriteSets.push_back(set);
        script.closeTable();
        lua_pop(L, 1);
    }
    script.closeTable();
}

void GameFieldRenderer::checkCellSolidity(const Cell& cell) const {
    if (cell.solidity > int(cellSpriteSets.size()))
        boardFatal(QV::formatString("Cell (%d, %d) has solidity %d but \"cells_lua\" has %d tile sets", cell.column,
                                    cell.row, cell.solidity, int(cellSpriteSets.size())),
                   "GameFieldRenderer", 229);
}

void GameFieldRenderer::queueDrawable(Drawable* drawable, float x, float y) {
    FreeDrawable entry;
    entry.drawable = drawable;
    entry.x = x;
    entry.y = y;
    entry.layer = drawable->layer;
    drawableQueue.push_back(entry);
}

void GameFieldRenderer::draw() {
    QV::RenderSystem* render = QV::RenderSystem::instance();
    const QV::Camera saved = render->getCamera();
    render->setCamera(camera);
    setDrawableCellSize(field->cellSize);
    const float opacity = boardOpacity(field);
    const int cs = field->cellSize;

    for (int r = 1; r <= field->gridHeight; ++r) {
        for (int c = 0; c < field->gridWidth; ++c) {
            if (Cell* cell = field->cellAt(c, r)) drawCell(*cell, cs * c, cs * r, c, r, opacity);
        }
    }
    QV::ParticleSystem* particles = QV::ParticleSystem::instance();
    particles->drawManagedEffects(1, opacity);

    const int half = cs / 2;
    if (ChipManager* chips = ChipManager::instancePointer()) {
        for (Chip* chip : chips->pool) {
            if (chip->destroyed) continue;
            const int x = int(float(cs) * chip->position.x) - half + int(float(cs) * chip->shakeOffset.x);
            const int y = int(float(cs) * chip->position.y) - half + int(float(cs) * chip->shakeOffset.y);
            if (field->drawBehaviors) {
                chip->behaviors.drawAll(this, field, chip, x, y);
            } else if (!chip->behaviors.empty()) {
                chip->behaviors.items.front()->draw(this, field, chip, x, y);
            }
        }
    }
    for (FreeDrawable& entry : field->freeDrawables) {
        entry.drawable->setOpacity(std::min(opacity, 1.0f));
        drawableQueue.push_back(entry);
    }
    flushQueue();
    if (field->moveHint) field->moveHint->draw();
    particles->drawManagedEffects(0, opacity);
    drawDistortions();
    effects->draw();
    render->setCamera(saved);
}

void GameFieldRenderer::flushQueue() {
    std::stable_sort(drawableQueue.begin(), drawableQueue.end(),
                     [](const FreeDrawable& a, const FreeDrawable& b) { return a.layer < b.layer; });
    for (const FreeDrawable& entry : drawableQueue) entry.drawable->draw(int(entry.x), int(entry.y));
    drawableQueue.clear();
}

void GameFieldRenderer::drawCell(Cell& cell, int x, int y, int column, int row, float opacity) {
    const int s = cell.solidity;
    if (s < 0) return;
    checkCellSolidity(cell);
    QV::Color colour = cell.colour;
    colour.a = uint8_t(int(opacity * 255.0f));
    const bool animating = cell.animation && !cell.animation->isFinished();
    float px = float(x), py = float(y);
    if (animating) {
        px = float(int(cell.position.x));
        py = float(int(cell.position.y));
    }
    const float size = float(field->cellSize);
    if (s == 0) {
        Cell* above = row - 1 > 0 ? field->cellAt(column, row - 1) : nullptr;
        QV::Sprite* shadow = column < int(shadows.size()) ? shadows[size_t(column)] : nullptr;
        if (above && above->solidity > 0 && shadow) {
            shadow->setPosition(px, py);
            shadow->setAngle(cell.angle);
            shadow->setColor(colour);
            shadow->updateVertices();
            shadow->draw();
        }
        return;
    }
    const std::vector<QV::Sprite*>& set = cellSpriteSets[size_t(s - 1)];
    QV::Sprite& sprite = *set[size_t((row * field->gridWidth + column) % int(set.size()))];
    if (s == 1) sprite.mRotationCenter = QV::Vector2<float>(size * 0.5f, size * 0.5f);
    drawCellSprite(sprite, px, py, size, cell.angle, colour);
    if (s >= 2 && !animating && blindTileAnimation->isRunning()) {
        blindTile->setPosition(px, py);
        if (blindTile->getSize().x != size || blindTile->getSize().y != size)
            blindTile->setSize(QV::Vector2<float>(size, size));
        blindTile->setColor(colour);
        blindTile->updateVertices();
        blindTile->draw();
    }
}

void GameFieldRenderer::update(float dt) {
    blindTileTimer += dt;
    const bool restart = field->cellHotspotPeriod < blindTileTimer;
    if (restart) {
        blindTileAnimation->mTime = 0.0f;
        blindTileAnimation->update(0.0f);
        blindTileAnimation->mPlaying = true;
    }
    if (blindTileAnimation->isRunning()) blindTileAnimation->update(dt);
    if (restart) blindTileTimer = 0.0f;
    updateDistortions(dt);
    effects->update(dt);
}

void GameFieldRenderer::playHighlight() {
    AE::ISceneNode* scene = AE::loadScene("hightlight_xml");
    if (!scene) return;
    float interval = 0.15f;
    for (AE::ISceneNode* child : scene->mChildren) {
        const std::string& name = child->mName;
        if (name.compare(0, 10, "#interval:") != 0) continue;
        const size_t end = name.find_first_not_of("0123456789.-", 10);
        interval = float(std::atof(name.substr(10, end == std::string::npos ? std::string::npos : end - 10).c_str()));
        break;
    }
    for (int r = 1; r <= field->gridHeight; ++r) {
        for (int c = 0; c < field->gridWidth; ++c) {
            Cell* cell = field->cellAt(c, r);
            if (!cell || cell->solidity <= 0) continue;
            effects->add(new TileChipEffect(field, "hightlight", cell, scene->clone(nullptr),
                                            interval * float(std::min(c, r))));
        }
    }
    delete scene;
}

void GameFieldRenderer::spawnTileExplosion(const QV::Vector2<float>& point) {
    if (!tileExplosionPrototype) return;
    QV::ParticleSystem* particles = QV::ParticleSystem::instance();
    QV::ParticleFX* effect = particles->createParticleFXCopy(tileExplosionPrototype);
    if (!effect) return;
    effect->mPosition = point;
    particles->addManagedEffect(effect, 1);
}

// Distortions.

void GameFieldRenderer::addDistortion(const DistortionRecord& record) { distortions.push_back(record); }

DistortionStrategy* GameFieldRenderer::strategy(int32_t kind, int line) {
    if (kind == 0) return &explosionStrategy;
    if (kind == 1) return &torchStrategy;
    boardFatal("Bad distortion strategy specified", "GameFieldRenderer", line);
    return nullptr;
}

void GameFieldRenderer::spawnTorchDistortions(float dt) {
    const float d = random01() * 0.5f + 1.0f;
    gTorchTimer += dt;
    if (gTorchTimer <= 0.5f * d) return;
    gTorchTimer = 0.0f;
    const float cs = float(field->cellSize);
    for (const QV::Vector2<float>* point : field->torchPoints) {
        DistortionRecord record;
        record.x = camera.x + cs * (point->x + random01());
        // No vertical jitter; the draw stays so the torches' numbers keep their order.
        record.y = camera.y + cs * (point->y + random01() * 0.0f);
        record.scaleX = random01() * 0.2f + 0.25f;
        record.scaleY = random01() * 0.2f + 0.25f;
        record.duration = record.timeLeft = d;
        record.kind = 1;
        distortions.push_back(record);
    }
}

void GameFieldRenderer::updateDistortions(float dt) {
    spawnTorchDistortions(dt);
    for (size_t i = 0; i < distortions.size();) {
        DistortionRecord& record = distortions[i];
        record.timeLeft -= dt;
        if (record.timeLeft < 0.0f) {
            distortions.erase(distortions.begin() + long(i));
            continue;
        }
        strategy(record.kind, 512)->update(record, dt);
        ++i;
    }
}

void GameFieldRenderer::drawDistortions() {
    QV::RenderSystem* render = QV::RenderSystem::instance();
    if (!render->isPixelShaderSupported() || !render->isVertexShaderSupported() || !render->isDistortionEnabled() ||
        distortions.empty())
        return;
    render->beginDistortion();
    for (const DistortionRecord& record : distortions) strategy(record.kind, 530)->draw(record, distortionAlpha);
    render->endDistortion();
}
