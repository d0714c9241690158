#include "particle_tail.h"

#include <cmath>

namespace QV {

namespace {

Vector2<float> normalised(const Vector2<float>& v) {
    float length = v.length();
    return length > 0.0f ? v / length : v;
}

void foldCheck(ParticleTail::Segment& s) {
    Vector2<float>* c = s.corners;
    s.side = Vector2<float>(c[0].y - c[3].y, -(c[0].x - c[3].x));
    // A segment shorter than its mitre must not fold over.
    if ((c[1] - c[0]).dot(s.side) < 0.0f) c[0] = c[1];
    if ((c[2] - c[3]).dot(s.side) < 0.0f) c[3] = c[2];
}

}  // namespace

void ParticleTail::init(Sprite* sprite, const ParticleTailSettings* settings) {
    mSprite = sprite;
    mSettings = settings;
    delete[] mSegments;
    mSegments = new Segment[static_cast<size_t>(ringSize()) + 100];
    mCount = 0;
    mHead = 0;
}

int ParticleTail::ringSize() const {
    // Three segments start every trail.
    int n = mSettings ? mSettings->ringSize : 7;
    return n < 3 ? 3 : n;
}

int ParticleTail::wrap(int index) const {
    int n = ringSize();
    int r = index % n;
    return r < 0 ? r + n : r;
}

void ParticleTail::buildSegment(Segment& s, float width) {
    s.delta = s.b - s.a;
    float length = s.delta.length();
    s.length = (length < 0.0001f || length > 10000000.0f) ? 1.0f : length;
    s.dir = s.delta / s.length;
    s.normal = Vector2<float>(-s.dir.y, s.dir.x) * width;
}

void ParticleTail::buildCorners(const Segment& previous, const Segment& next, Segment& s, float width) {
    Vector2<float> m1 = normalised(s.normal + previous.normal) * width;
    Vector2<float> m2 = normalised(next.normal + s.normal) * width;
    Vector2<float> start = s.a + s.dir * 0.1f;
    s.corners[0] = start + m1;
    s.corners[3] = start - m1;
    s.corners[1] = s.b + m2;
    s.corners[2] = s.b - m2;
    foldCheck(s);
}

void ParticleTail::buildEndCorners(const Segment& next, Segment& s, float width) {
    Vector2<float> m = normalised(next.normal + s.normal) * width;
    s.corners[1] = s.b + m;
    s.corners[2] = s.b - m;
    foldCheck(s);
}

void ParticleTail::buildHead(const Vector2<float>& p, const Vector2<float>& u, const Vector2<float>& hh) {
    const float frameWidth = mSettings->frameWidth;
    Segment& h = segment(mHead);
    Segment& b = segment(mHead - 1);
    Segment& before = segment(mHead - 2);
    h.a = p - hh;
    h.b = p + hh;
    h.u0 = frameWidth - static_cast<float>(mSettings->headSizeTex);
    h.u1 = frameWidth;
    b.a = mStart - u * 0.1f;
    b.b = h.a;
    b.u0 = frameWidth - static_cast<float>(mSettings->headSizeTex) - 10.0f;
    b.u1 = frameWidth - static_cast<float>(mSettings->headSize);
    buildSegment(b, mWidth);
    buildSegment(before, mWidth);
    buildSegment(h, mWidth);
    buildCorners(h, h, h, mWidth);
    buildCorners(before, b, b, mWidth);
    buildEndCorners(b, before, mWidth);
}

void ParticleTail::update(float dt, const Vector2<float>& p) {
    if (!mSegments || !mSettings) return;
    const ParticleTailSettings& set = *mSettings;
    const int n = ringSize();
    mHead = wrap(mHead);
    Vector2<float> d = p - mStart;
    float dist = d.length();
    Vector2<float> u;
    Vector2<float> hh;
    bool newSegment = false;
    if (mCount < n && mMoving) {
        // A point fed twice gives no direction rather than NaN corners.
        u = dist > 0.0f ? d / dist : Vector2<float>();
        hh = u * (static_cast<float>(set.headSize) * 0.5f);
        buildHead(p, u, hh);
        newSegment = static_cast<float>(set.headSize) * 0.5f + set.minDistSegments + 1.0f < dist;
    }

    float fade = set.fadeSpeed;
    if (mCount > set.maxSegments && dt > 0.0f) {
        float chase = (mLastPoint - p).length() / dt * 0.9f;
        if (chase > fade) fade = chase;
    }

    if (mCount >= 1) {
        float r = fade * dt;
        int looked = 0;
        const int original = mCount;
        while (looked < original && mCount > 0) {
            Segment& oldest = segment(mHead - mCount + 1);
            if (oldest.length > r) break;
            r -= oldest.length;
            --mCount;
            ++looked;
        }
        if (mCount >= 1) {
            Segment& oldest = segment(mHead - mCount + 1);
            oldest.a += oldest.dir * r;
            buildSegment(oldest, mWidth);
            buildCorners(oldest, segment(mHead - mCount + 2), oldest, mWidth);
        }
        mBodyLength = 0.0f;
        for (int i = 1; i < mCount; ++i) mBodyLength += segment(mHead - i).length;
        const float e = set.frameWidth - static_cast<float>(set.headSizeTex);
        float sum = 0.0f;
        float previousU0 = e;
        for (int i = 1; i < mCount; ++i) {
            Segment& s = segment(mHead - i);
            sum += s.length;
            s.u1 = previousU0;
            s.u0 = mBodyLength > 0.0f ? e - e * sum / mBodyLength : e;
            previousU0 = s.u0;
        }
    }

    if (newSegment) {
        mHead = wrap(mHead + 1);
        ++mCount;
        mStart = p - hh;
        buildHead(p, u, hh);
    }

    mMoving = true;
    if (std::fabs(mLastPoint.x - p.x) <= 0.1f && std::fabs(mLastPoint.y - p.y) <= 0.1f) {
        mMoving = false;
        return;
    }
    mLastPoint = p;
    if (mCount > 1) return;

    mHead = 2;
    for (int i = 0; i < 3; ++i) {
        mSegments[i] = Segment();
        mSegments[i].a = p;
        mSegments[i].b = p;
    }
    mStart = p;
    mCount = 3;
    mBodyLength = 0.0f;
}

}  // namespace QV
