#include "animationeditor/scene_node_animation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "animationeditor/vector_stream.h"
#include "format_string.h"
#include "lua_script2.h"
#include "report_assert.h"

namespace AE {

int lerpInt(int a, int b, float t) {
    const int64_t k = static_cast<int64_t>(t * 1000.0f);
    // 64 bits: the 32-bit form overflows beyond about +-2,147.
    const int64_t mixed = ((1000 - k) * a + k * b) * 1000 / 1000000;
    return static_cast<int>(mixed);
}

QV::Color blendColor(const QV::Color& a, const QV::Color& b, float t) {
    const uint8_t k = static_cast<uint8_t>(static_cast<int>(t * 255.0f));
    const QV::Color weight = QV::Color::fromBytes(k, k, k, k);
    const uint8_t rest = static_cast<uint8_t>(255 - k);
    const QV::Color restWeight = QV::Color::fromBytes(rest, rest, rest, rest);
    return QV::Color::modulate(weight, a) + QV::Color::modulate(restWeight, b);
}

namespace SceneNodeAnimation {

IContainer::~IContainer() {
    for (IListener* listener : mListeners) delete listener;
}

void IContainer::notifyListeners() {
    for (IListener* listener : mListeners) listener->onEvaluated();
}

namespace {

// Value arithmetic per type.

bool sameValue(float a, float b) { return a == b; }
bool sameValue(const QV::Vector2<float>& a, const QV::Vector2<float>& b) { return a.x == b.x && a.y == b.y; }
bool sameValue(const QV::Color& a, const QV::Color& b) { return a.word() == b.word(); }
bool sameValue(int a, int b) { return a == b; }
bool sameValue(bool a, bool b) { return a == b; }

float linearValue(float a, float b, float t) { return a * (1.0f - t) + b * t; }
QV::Vector2<float> linearValue(const QV::Vector2<float>& a, const QV::Vector2<float>& b, float t) {
    return QV::Vector2<float>(linearValue(a.x, b.x, t), linearValue(a.y, b.y, t));
}
QV::Color linearValue(const QV::Color& a, const QV::Color& b, float t) { return blendColor(b, a, t); }
int linearValue(int a, int b, float t) { return lerpInt(a, b, t); }
bool linearValue(bool a, bool, float) { return a; }

struct Weights {
    float w0, w1, w2, w3;
};

Weights bezierWeights(float t) {
    const float u = 1.0f - t;
    return {u * u * u, 3.0f * t * u * u, 3.0f * t * t * u, t * t * t};
}

float curve(const Weights& w, float p0, float p1, float p2, float p3) {
    return w.w0 * p0 + w.w1 * p1 + w.w2 * p2 + w.w3 * p3;
}

// The control points move with t; both use the first key's coefficient.
template <class T>
void easeWeights(const Key<T>& ki, float t, float& w1, float& w2) {
    w1 = 1.0f - std::fabs(1.0f - ki.bezierCoeff - t);
    w2 = 1.0f - std::fabs(ki.bezierCoeff - t);
}

float bezierValue(const Key<float>& ki, const Key<float>& kj, float t) {
    float w1, w2;
    easeWeights(ki, t, w1, w2);
    const float p1 = ki.bezierFlag ? ki.value + w1 * ki.bezierOffset : ki.value;
    const float p2 = kj.bezierFlag ? kj.value - w2 * kj.bezierOffset : kj.value;
    return curve(bezierWeights(t), ki.value, p1, p2, kj.value);
}

QV::Vector2<float> bezierValue(const Key<QV::Vector2<float>>& ki, const Key<QV::Vector2<float>>& kj, float t) {
    float w1, w2;
    easeWeights(ki, t, w1, w2);
    QV::Vector2<float> p1 = ki.value;
    QV::Vector2<float> p2 = kj.value;
    if (ki.bezierFlag) p1 = QV::Vector2<float>(ki.value.x + w1 * ki.bezierOffset.x, ki.value.y + w1 * ki.bezierOffset.y);
    if (kj.bezierFlag) p2 = QV::Vector2<float>(kj.value.x - w2 * kj.bezierOffset.x, kj.value.y - w2 * kj.bezierOffset.y);
    const Weights w = bezierWeights(t);
    return QV::Vector2<float>(curve(w, ki.value.x, p1.x, p2.x, kj.value.x), curve(w, ki.value.y, p1.y, p2.y, kj.value.y));
}

QV::Color bezierValue(const Key<QV::Color>& ki, const Key<QV::Color>& kj, float t) {
    float w1, w2;
    easeWeights(ki, t, w1, w2);
    QV::Color p1 = ki.value;
    QV::Color p2 = kj.value;
    if (ki.bezierFlag) p1 = ki.value + QV::Color::modulate(QV::Color(w1), ki.bezierOffset);
    if (kj.bezierFlag) p2 = kj.value - QV::Color::modulate(QV::Color(w2), kj.bezierOffset);
    const Weights w = bezierWeights(t);
    const QV::Color m0 = QV::Color::modulate(QV::Color(w.w0), ki.value);
    const QV::Color m1 = QV::Color::modulate(QV::Color(w.w1), p1);
    const QV::Color m2 = QV::Color::modulate(QV::Color(w.w2), p2);
    const QV::Color m3 = QV::Color::modulate(QV::Color(w.w3), kj.value);
    return m3 + (m2 + (m1 + m0));
}

int truncateToInt(float v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0f) return std::numeric_limits<int>::max();
    if (v <= -2147483648.0f) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

int bezierValue(const Key<int>& ki, const Key<int>& kj, float t) {
    float w1, w2;
    easeWeights(ki, t, w1, w2);
    const int p1 = ki.bezierFlag ? ki.value + truncateToInt(w1 * static_cast<float>(ki.bezierOffset)) : ki.value;
    const int p2 = kj.bezierFlag ? kj.value - truncateToInt(w2 * static_cast<float>(kj.bezierOffset)) : kj.value;
    return truncateToInt(curve(bezierWeights(t), static_cast<float>(ki.value), static_cast<float>(p1),
                               static_cast<float>(p2), static_cast<float>(kj.value)));
}

bool bezierValue(const Key<bool>& ki, const Key<bool>&, float) { return ki.value; }

// Key records on a stream: value, offset, padding to 4 bytes, coefficient,
// frame, flag and three padding bytes (16, 20 or 28 bytes).

void writeBytesOf(DataStream& s, float v) { writeValue(s, v); }
void writeBytesOf(DataStream& s, int v) { writeValue<int32_t>(s, v); }
void writeBytesOf(DataStream& s, const QV::Color& v) { writeValue(s, v); }
void writeBytesOf(DataStream& s, const QV::Vector2<float>& v) {
    writeValue(s, v.x);
    writeValue(s, v.y);
}
void writeBytesOf(DataStream& s, bool v) { writeValue<uint8_t>(s, v ? 1 : 0); }

void readBytesOf(DataStream& s, float& v) { v = readValue<float>(s); }
void readBytesOf(DataStream& s, int& v) { v = readValue<int32_t>(s); }
void readBytesOf(DataStream& s, QV::Color& v) { v = readValue<QV::Color>(s); }
void readBytesOf(DataStream& s, QV::Vector2<float>& v) {
    v.x = readValue<float>(s);
    v.y = readValue<float>(s);
}
void readBytesOf(DataStream& s, bool& v) { v = readValue<uint8_t>(s) != 0; }

template <class T>
constexpr unsigned valuePadding() {
    return std::is_same<T, bool>::value ? 2u : 0u;
}

template <class T>
void writeKey(DataStream& s, const Key<T>& key) {
    static const uint8_t zeros[4] = {0, 0, 0, 0};
    writeBytesOf(s, key.value);
    writeBytesOf(s, key.bezierOffset);
    if (valuePadding<T>()) s.write(zeros, valuePadding<T>());
    writeValue(s, key.bezierCoeff);
    writeValue(s, key.frame);
    writeValue<uint8_t>(s, key.bezierFlag ? 1 : 0);
    s.write(zeros, 3);
}

template <class T>
void readKey(DataStream& s, Key<T>& key) {
    uint8_t skip[4];
    readBytesOf(s, key.value);
    readBytesOf(s, key.bezierOffset);
    if (valuePadding<T>()) s.read(skip, valuePadding<T>());
    key.bezierCoeff = readValue<float>(s);
    key.frame = readValue<uint32_t>(s);
    key.bezierFlag = readValue<uint8_t>(s) != 0;
    s.read(skip, 3);
}

// Lua values of one key frame's table. Each reader leaves the stack as it was.

bool readLua(QV::LuaScript2& script, const std::string& name, float& v) {
    script.pushField(name.c_str());
    const bool ok = script.topToFloat(&v);
    lua_pop(script.state(), 1);
    return ok;
}

bool readLua(QV::LuaScript2& script, const std::string& name, int& v) {
    script.pushField(name.c_str());
    const bool ok = script.topToInt(&v);
    lua_pop(script.state(), 1);
    return ok;
}

bool readLua(QV::LuaScript2& script, const std::string& name, bool& v) {
    int number = 0;
    const bool ok = readLua(script, name, number);
    v = number != 0;
    return ok;
}

bool readLua(QV::LuaScript2& script, const std::string& name, QV::Vector2<float>& v) {
    float xy[2] = {0, 0};
    const bool ok = script.getVector2(name.c_str(), xy);
    v = QV::Vector2<float>(xy[0], xy[1]);
    return ok;
}

bool readLua(QV::LuaScript2& script, const std::string& name, QV::Color& v) {
    return script.getColorBytes(name.c_str(), &v);
}

}  // namespace

template <class T>
T Container<T>::valueAt(int i, int j, float t) const {
    const size_t count = mKeys.size();
    if (count < 2) return mKeys[0].value;  // one key holds for any i, j and t
    const Key<T>& ki = mKeys[static_cast<size_t>(i)];
    if (!mInterpolate) return ki.value;
    const Key<T>& kj = mKeys[static_cast<size_t>(j)];
    if ((!ki.bezierFlag && !kj.bezierFlag) || i == j) {
        if (sameValue(ki.value, kj.value)) return ki.value;
        return linearValue(ki.value, kj.value, t);
    }
    return bezierValue(ki, kj, t);
}

template <class T>
void Container<T>::evaluate(int i, int j, float t) {
    if (!mActive || mKeys.empty()) return;
    const size_t count = mKeys.size();
    // Indices come from the timeline; a container out of step with it writes nothing.
    if (count >= 2 && (static_cast<size_t>(i) >= count || static_cast<size_t>(j) >= count)) return;
    const T value = valueAt(i, j, t);
    for (T* target : mTargets) *target = value;
}

template <class T>
void Container<T>::addKey(int frame, bool noSort) {
    Key<T> key;
    if (!mKeys.empty()) key.value = mKeys.back().value;
    key.frame = static_cast<uint32_t>(frame);
    mKeys.push_back(key);
    if (!noSort) sortKeys();
}

template <class T>
void Container<T>::removeKey(int index) {
    if (static_cast<size_t>(static_cast<uint32_t>(index)) < mKeys.size()) mKeys.erase(mKeys.begin() + index);
    sortKeys();
}

template <class T>
IContainer* Container<T>::clone() const {
    Container<T>* copy = new Container<T>(mName);
    copy->mSubTimeline = mSubTimeline;
    copy->mInterpolate = mInterpolate;
    copy->mKeys = mKeys;
    copy->mActive = mActive;
    copy->mFirstLoadPending = mFirstLoadPending;
    return copy;
}

template <class T>
bool Container<T>::moveKey(int fromFrame, int toFrame) {
    for (Key<T>& key : mKeys) {
        if (key.frame == static_cast<uint32_t>(fromFrame)) {
            key.frame = static_cast<uint32_t>(toFrame);
            sortKeys();
            return true;
        }
    }
    return false;
}

template <class T>
void Container<T>::sortKeys() {
    std::sort(mKeys.begin(), mKeys.end(), [](const Key<T>& a, const Key<T>& b) { return a.frame < b.frame; });
}

template <class T>
void Container<T>::write(DataStream& stream) const {
    writeValue<uint32_t>(stream, static_cast<uint32_t>(mKeys.size()));
    for (const Key<T>& key : mKeys) writeKey(stream, key);
    writeValue<uint8_t>(stream, mActive ? 1 : 0);
    writeValue<uint8_t>(stream, mFirstLoadPending ? 1 : 0);
}

template <class T>
void Container<T>::read(DataStream& stream) {
    mKeys.clear();
    const uint32_t count = readValue<uint32_t>(stream);
    for (uint32_t n = 0; n < count; ++n) {
        Key<T> key;
        readKey(stream, key);
        mKeys.push_back(key);
    }
    mActive = readValue<uint8_t>(stream) != 0;
    mFirstLoadPending = readValue<uint8_t>(stream) != 0;
}

template <class T>
void Container<T>::loadFromLua(QV::LuaScript2& script, int frame) {
    if (!mActive) return;
    T value{};
    const bool ok = readLua(script, mName, value);
    mActive = mActive && ok;
    // Missing from the first key frame: the track is off for good.
    // Missing from a later one: the key frames disagree.
    if (!ok && !mFirstLoadPending) QV_FATAL(QV::formatString("Failed to load animation parameter %s", mName.c_str()));
    if (mActive) {
        Key<T> key;
        key.value = value;
        key.frame = static_cast<uint32_t>(frame);
        mKeys.push_back(key);
    }
    mFirstLoadPending = false;
}

template class Container<float>;
template class Container<QV::Vector2<float>>;
template class Container<QV::Color>;
template class Container<int>;
template class Container<bool>;

template <class T>
Container<T>* findContainer(const std::vector<IContainer*>& containers, const std::string& name) {
    for (IContainer* container : containers) {
        if (container->mName != name) continue;
        Container<T>* typed = dynamic_cast<Container<T>*>(container);
        if (!typed) QV_FATAL("Parameter has another type than the one asked for");
        return typed;
    }
    QV_FATAL("Failed to find parameter with specified name");
}

template <class T>
Key<T>& findKey(const std::vector<IContainer*>& containers, const std::string& name, int index) {
    Container<T>* container = findContainer<T>(containers, name);
    if (static_cast<uint32_t>(index) >= container->mKeys.size()) QV_FATAL("Bad frameIndex specified");
    return container->mKeys[static_cast<uint32_t>(index)];
}

#define AE_KEY_LOOKUPS(T)                                                                                  \
    template Container<T>* findContainer<T>(const std::vector<IContainer*>&, const std::string&);           \
    template Key<T>& findKey<T>(const std::vector<IContainer*>&, const std::string&, int);
AE_KEY_LOOKUPS(float)
AE_KEY_LOOKUPS(QV::Vector2<float>)
AE_KEY_LOOKUPS(QV::Color)
AE_KEY_LOOKUPS(int)
AE_KEY_LOOKUPS(bool)
#undef AE_KEY_LOOKUPS

}  // namespace SceneNodeAnimation
}  // namespace AE
