#include "board/view/drawable_kinds.h"

#include <cstdlib>

#include "animation.h"
#include "animationeditor/marker.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "board/board_fatal.h"
#include "board/chip_manager.h"
#include "color.h"
#include "format_string.h"
#include "lua_script2.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "sprite.h"
#include "sprite_manager.h"

namespace {

int gCellSize = 0;



// The sprite of a table of a cached sprite script; a table that does not open is fatal.
// Headless board runs have no sprite manager: their sprite drawables stay empty.
QV::Sprite* spriteFromTable(const std::string& file, const std::string& table, int line) {
    if (!QV::Singleton<QV::SpriteManager<QV::Sprite>>::instancePointer()) return nullptr;
    QV::LuaScript2* script = ChipManager::instance()->getScript(file);
    if (!script || !script->openTable(table.c_str())) boardFatal("", "Drawable", line);
    QV::Sprite* sprite = boardSprites().createSpriteFromTable(*script);
    script->closeTable();
    return sprite;
}

void setAlphaColour(QV::Sprite& sprite, int point, float alpha) {
    if (point < int(sprite.mColorPointers.size())) *sprite.mColorPointers[point] = QV::Color(1.0f, 1.0f, 1.0f, alpha);
}

}  // namespace

QV::SpriteManager<QV::Sprite>& boardSprites() { return *QV::Singleton<QV::SpriteManager<QV::Sprite>>::instance(); }

void releaseBoardSprite(QV::Sprite* sprite) {
    auto* manager = QV::Singleton<QV::SpriteManager<QV::Sprite>>::instancePointer();
    if (sprite && manager) manager->destroySprite(sprite);
}

void setDrawableCellSize(int cellSize) { gCellSize = cellSize; }
int drawableCellSize() { return gCellSize; }

// Sprite.

SpriteDrawable::SpriteDrawable(const std::string& file, const std::string& table, int layer)
    : Drawable(layer), sprite(spriteFromTable(file, table, 67)) {}

SpriteDrawable::SpriteDrawable(QV::Sprite* sprite, int layer) : Drawable(layer), sprite(sprite) {}

SpriteDrawable::~SpriteDrawable() {
    releaseBoardSprite(sprite);
}

void SpriteDrawable::drawSprite(int x, int y) {
    if (!sprite) return;
    QV::Sprite& s = *sprite;
    if (s.mClip != clipEnabled) {
        s.mClip = clipEnabled;
        s.markDirty();
    }
    if (clipEnabled) s.mClipRect = clipRect;
    // The mesh is rebuilt on every size change, so only a new size is set.
    const float size = float(gCellSize);
    if (gCellSize > 0 && (s.getSize().x != size || s.getSize().y != size)) s.setSize(QV::Vector2<float>(size, size));
    const int row = int(s.mSizeX) + 1;
    setAlphaColour(s, 0, cornerAlpha[0] * opacity);
    setAlphaColour(s, 1, cornerAlpha[1] * opacity);
    setAlphaColour(s, row, cornerAlpha[2] * opacity);
    setAlphaColour(s, row + 1, cornerAlpha[3] * opacity);
    s.setPosition(float(x), float(y));
    s.updateVertices();
    s.draw();
}

void SpriteDrawable::draw(int x, int y) { drawSprite(x, y); }

Drawable* SpriteDrawable::clone() const {
    auto* copy = new SpriteDrawable(sprite ? boardSprites().cloneSprite(sprite) : nullptr, layer);
    copy->restartOnActivation = restartOnActivation;
    return copy;
}

// Animated sprite.

AnimSpriteDrawable::AnimSpriteDrawable(const std::string& file, const std::string& table, int layer)
    : SpriteDrawable(spriteFromTable(file, table, 124), layer), animation(new QV::Animation()) {
    if (sprite) sprite->bindAnimation(animation);
    animation->load(file, "default", table);
    animation->mLoop = true;
    animation->mPlaying = true;
}

AnimSpriteDrawable::AnimSpriteDrawable(QV::Sprite* sprite, const QV::Animation& source, int layer)
    : SpriteDrawable(sprite, layer), animation(new QV::Animation(source)) {
    if (sprite) sprite->bindAnimation(animation);
    animation->mLoop = true;
    animation->mPlaying = true;
}

AnimSpriteDrawable::~AnimSpriteDrawable() {
    // The sprite goes first: the animation writes into it.
    releaseBoardSprite(sprite);
    sprite = nullptr;
    delete animation;
}

void AnimSpriteDrawable::draw(int x, int y) {
    if (restartOnActivation && active != previousActive) {
        animation->mTime = 0.0f;
        animation->update(0.0f);
        animation->mPlaying = active;
    }
    drawSprite(x, y);
}

void AnimSpriteDrawable::update(float dt) { animation->update(dt); }

Drawable* AnimSpriteDrawable::clone() const {
    auto* copy = new AnimSpriteDrawable(sprite ? boardSprites().cloneSprite(sprite) : nullptr, *animation, layer);
    copy->restartOnActivation = restartOnActivation;
    return copy;
}

// Particle effect.

ParticleFXDrawable::ParticleFXDrawable(const std::string& file, int layer) : Drawable(layer), fileName(file) {
    ensureEffect();
}

ParticleFXDrawable::ParticleFXDrawable(const std::string& file, int layer, NoEffect)
    : Drawable(layer), fileName(file) {}

ParticleFXDrawable::~ParticleFXDrawable() {
    QV::ParticleSystem* system = QV::ParticleSystem::instancePointer();
    if (effect && system) system->releaseParticleFX(effect);
}

// Headless board runs without a particle system keep their effects empty.
void ParticleFXDrawable::ensureEffect() {
    QV::ParticleSystem* system = QV::ParticleSystem::instancePointer();
    if (effect || !system) return;
    effect = system->createParticleFX(fileName);
    if (!effect) boardFatal(QV::formatString("Fail to load particle from %s", fileName.c_str()), "Drawable", 210);
}

void ParticleFXDrawable::draw(int x, int y) {
    ensureEffect();
    if (!effect) return;
    if (active && !previousActive) effect->restart();
    effect->mPosition = QV::Vector2<float>(float(x), float(y));
    effect->setAlpha(opacity);
    for (QV::ParticleEmitter* emitter : effect->mParticleEmitters) emitter->render(effect->mPosition);
}

Drawable* ParticleFXDrawable::clone() const {
    auto* copy = new ParticleFXDrawable(fileName, layer, NoEffect());
    copy->restartOnActivation = restartOnActivation;
    return copy;
}

bool ParticleFXDrawable::isAlive() {
    ensureEffect();
    return effect && !effect->isFinished();
}

void ParticleFXDrawable::update(float dt) {
    ensureEffect();
    if (effect && active) effect->update(dt);
}

// Scene.

std::vector<ScheduledMarker> parseMarkerSchedule(const std::string& text, const std::string& suffix) {
    std::vector<ScheduledMarker> result;
    size_t i = 0;
    while (i < text.size()) {
        const size_t end = text.find_first_of(";(", i);
        std::string item = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
        i = end == std::string::npos ? text.size() : end;
        const size_t conversion = item.find("%s");
        if (conversion != std::string::npos) item.replace(conversion, 2, suffix);
        ScheduledMarker entry;
        entry.name = item;
        if (i < text.size() && text[i] == '(') {
            size_t j = i + 1;
            while (j < text.size() && ((text[j] >= '0' && text[j] <= '9') || text[j] == '.')) ++j;
            entry.time = float(std::atof(text.substr(i + 1, j - i - 1).c_str()));
            i = j < text.size() ? j + 1 : j;  // the closing parenthesis
        }
        result.push_back(entry);
        if (i < text.size() && text[i] == ';') ++i;
    }
    return result;
}

SceneDrawable::SceneDrawable(const std::string& file, int layer, const std::string& scheduleText,
                             const std::string& suffix)
    : Drawable(layer) {
    // A board without pictures (headless) keeps no scene, as it keeps no sprites.
    if (!QV::Singleton<QV::SpriteManager<QV::Sprite>>::instancePointer()) return;
    scene = AE::loadScene(file);
    if (!scene) boardFatal(QV::formatString("Fail to load %s scene file", file.c_str()), "Drawable", 283);
    schedule = parseMarkerSchedule(scheduleText, suffix);
    for (const ScheduledMarker& entry : schedule) {
        if (entry.time > latestTime) latestTime = entry.time;
    }
}

SceneDrawable::SceneDrawable(const SceneDrawable& source) : Drawable(source.layer) { copyFrom(source); }

SceneDrawable& SceneDrawable::operator=(const SceneDrawable& source) {
    if (this != &source) {
        delete scene;
        scene = nullptr;
        copyFrom(source);
    }
    return *this;
}

void SceneDrawable::copyFrom(const SceneDrawable& source) {
    active = source.active;
    previousActive = source.previousActive;
    layer = source.layer;
    restartOnActivation = source.restartOnActivation;
    for (int i = 0; i < 4; ++i) cornerAlpha[i] = source.cornerAlpha[i];
    opacity = source.opacity;
    clipEnabled = source.clipEnabled;
    clipRect = source.clipRect;
    scene = source.scene ? source.scene->clone(nullptr) : nullptr;
    latestTime = source.latestTime;
    elapsed = 0.0f;
    schedule = source.schedule;
    for (ScheduledMarker& entry : schedule) entry.fired = false;
    update(0.0f);
}

SceneDrawable::~SceneDrawable() { delete scene; }

void SceneDrawable::update(float dt) {
    if (!scene) return;
    if (latestTime >= elapsed) {
        elapsed += dt;
        for (ScheduledMarker& entry : schedule) {
            if (entry.fired || entry.time > elapsed) continue;
            if (AE::Marker* marker = scene->getMarker(entry.name)) marker->play(true);
            entry.fired = true;
        }
    }
    scene->update(dt);
}

void SceneDrawable::draw(int x, int y) {
    if (!scene) return;
    scene->setPosition(QV::Vector2<float>(float(x), float(y)));
    scene->mColor = QV::Color(1.0f, 1.0f, 1.0f, opacity);
    scene->update(0.0f);
    AE::drawScene(scene);
}

Drawable* SceneDrawable::clone() const { return new SceneDrawable(*this); }
