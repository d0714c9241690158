#pragma once

#include "particle_emitter.h"
#include "vector2.h"

namespace QV {

class Sprite;

// A ribbon of textured quads following the points a particle has passed,
// with a head of fixed length on the particle and a body that retreats from
// its far end.
class ParticleTail {
public:
    struct Segment {
        Vector2<float> a;
        Vector2<float> b;
        Vector2<float> corners[4];  // start +, end +, end -, start -
        float u0 = 0.0f;
        float u1 = 0.0f;
        Vector2<float> normal;
        Vector2<float> delta;
        Vector2<float> dir;
        float length = 0.0f;
        Vector2<float> side;
    };

    ParticleTail() = default;
    ParticleTail(const ParticleTail&) = delete;
    ParticleTail& operator=(const ParticleTail&) = delete;
    ~ParticleTail() { delete[] mSegments; }

    void init(Sprite* sprite, const ParticleTailSettings* settings);
    void clear() {
        mCount = 0;
        mHead = 0;
    }
    void update(float dt, const Vector2<float>& point);
    void draw();

    static void buildSegment(Segment& segment, float width);
    static void buildCorners(const Segment& previous, const Segment& next, Segment& segment, float width);
    static void buildEndCorners(const Segment& next, Segment& segment, float width);

    int ringSize() const;
    // The segment at a ring index; any integer wraps into the ring.
    Segment& segment(int index) { return mSegments[wrap(index)]; }
    int count() const { return mCount; }
    int head() const { return mHead; }
    float bodyLength() const { return mBodyLength; }
    const Vector2<float>& start() const { return mStart; }
    bool moving() const { return mMoving; }

    float mWidth = 0.0f;  // half thickness, set by the emitter every frame

private:
    int wrap(int index) const;
    void buildHead(const Vector2<float>& point, const Vector2<float>& unit, const Vector2<float>& halfHead);

    Sprite* mSprite = nullptr;
    Segment* mSegments = nullptr;
    const ParticleTailSettings* mSettings = nullptr;
    int mCount = 0;
    int mHead = 0;
    float mBodyLength = 0.0f;
    Vector2<float> mStart;
    Vector2<float> mLastPoint;
    bool mMoving = false;
};

}  // namespace QV
