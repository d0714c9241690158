#pragma once

#include <string>
#include <vector>

#include "board/drawable.h"

namespace QV {
class Animation;
class ParticleFX;
class Sprite;
template <class T>
class SpriteManager;
}  // namespace QV

namespace AE {
class ISceneNode;
}

// The sprite manager of the board's pictures, and the giving back of one:
// a sprite manager already gone has freed its sprites with itself.
QV::SpriteManager<QV::Sprite>& boardSprites();
void releaseBoardSprite(QV::Sprite* sprite);

// The cell size in pixels that sprite drawables take when drawn; the field
// renderer sets it from its board. 0 (no board yet) keeps a sprite's own size.
void setDrawableCellSize(int cellSize);
int drawableCellSize();

// A still sprite from a Lua sprite table.
class SpriteDrawable : public Drawable {
public:
    SpriteDrawable(const std::string& file, const std::string& table, int layer);
    ~SpriteDrawable() override;
    SpriteDrawable(const SpriteDrawable&) = delete;
    SpriteDrawable& operator=(const SpriteDrawable&) = delete;

    void draw(int x, int y) override;
    Drawable* clone() const override;

    QV::Sprite* getSprite() const { return sprite; }

protected:
    SpriteDrawable(QV::Sprite* sprite, int layer);
    // Corner alphas, clip, the board's cell size and the position; then draws.
    void drawSprite(int x, int y);

    QV::Sprite* sprite = nullptr;
};

// A sprite driven by its table's keyframe animation, looping.
class AnimSpriteDrawable : public SpriteDrawable {
public:
    AnimSpriteDrawable(const std::string& file, const std::string& table, int layer);
    ~AnimSpriteDrawable() override;

    void draw(int x, int y) override;
    Drawable* clone() const override;
    void update(float dt) override;

    QV::Animation* getAnimation() const { return animation; }

private:
    AnimSpriteDrawable(QV::Sprite* sprite, const QV::Animation& source, int layer);

    QV::Animation* animation = nullptr;
};

// A particle effect taken from the particle system. A clone takes its effect
// at first use.
class ParticleFXDrawable : public Drawable {
public:
    ParticleFXDrawable(const std::string& file, int layer);
    ~ParticleFXDrawable() override;
    ParticleFXDrawable(const ParticleFXDrawable&) = delete;
    ParticleFXDrawable& operator=(const ParticleFXDrawable&) = delete;

    void draw(int x, int y) override;
    Drawable* clone() const override;
    bool isAlive() override;
    void update(float dt) override;

    QV::ParticleFX* getEffect() const { return effect; }
    const std::string& getFileName() const { return fileName; }

private:
    struct NoEffect {};
    ParticleFXDrawable(const std::string& file, int layer, NoEffect);
    void ensureEffect();

    QV::ParticleFX* effect = nullptr;
    std::string fileName;
};

// A scene marker due at a time after the drawable starts.
struct ScheduledMarker {
    std::string name;
    float time = 0.0f;
    bool fired = false;
};

// Parses a marker schedule such as "idle;blink(0.5);shine_%s(1.25)": items
// end at ";" or "(", an optional start time in parentheses follows; the
// first "%s" of a name takes the suffix, any other "%" stays as written.
std::vector<ScheduledMarker> parseMarkerSchedule(const std::string& schedule, const std::string& suffix);

// An animation-editor scene whose markers start on a schedule.
class SceneDrawable : public Drawable {
public:
    SceneDrawable(const std::string& file, int layer, const std::string& schedule, const std::string& suffix);
    SceneDrawable(const SceneDrawable& source);
    SceneDrawable& operator=(const SceneDrawable& source);
    ~SceneDrawable() override;

    void draw(int x, int y) override;
    Drawable* clone() const override;
    void update(float dt) override;

    AE::ISceneNode* getScene() const { return scene; }
    const std::vector<ScheduledMarker>& getSchedule() const { return schedule; }
    float getElapsed() const { return elapsed; }
    float getLatestTime() const { return latestTime; }

private:
    void copyFrom(const SceneDrawable& source);

    AE::ISceneNode* scene = nullptr;
    std::vector<ScheduledMarker> schedule;
    float latestTime = 0.0f;
    float elapsed = 0.0f;
};
