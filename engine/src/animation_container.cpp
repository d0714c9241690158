#include "animation.h"

#include "animation_lua_values.h"
#include "lua_script2.h"
#include "xml_data_reader.h"

namespace QV {

namespace {

// Component-wise arithmetic of the value types that interpolate as floats.
template <class F>
float combine(float a, float b, F f) {
    return f(a, b);
}
template <class F>
Vector2<float> combine(const Vector2<float>& a, const Vector2<float>& b, F f) {
    return Vector2<float>(f(a.x, b.x), f(a.y, b.y));
}
template <class F>
Rect combine(const Rect& a, const Rect& b, F f) {
    return Rect(f(a.left, b.left), f(a.top, b.top), f(a.right, b.right), f(a.bottom, b.bottom));
}

template <class T>
T lerp(const T& a, const T& b, float t) {
    return combine(a, b, [t](float x, float y) { return (1.0f - t) * x + t * y; });
}
template <class T>
T mid(const T& a, const T& b) {
    return combine(a, b, [](float x, float y) { return x + (y - x) * 0.5f; });
}
template <class T>
T bezier(const T& s, const T& c, const T& e, float t) {
    const float u = 1.0f - t;
    T sc = combine(s, c, [t, u](float x, float y) { return u * u * x + 2.0f * t * u * y; });
    return combine(sc, e, [t](float x, float y) { return x + t * t * y; });
}

// Colours blend per byte with the colour operations: "x" is modulate with a
// colour built from a float, "+" and "-" wrap.
Color scaled(float factor, const Color& value) { return Color::modulate(Color(factor), value); }

Color lerp(const Color& a, const Color& b, float t) { return scaled(t, b) + scaled(1.0f - t, a); }
Color mid(const Color& a, const Color& b) { return a + scaled(0.5f, b - a); }
Color bezier(const Color& s, const Color& c, const Color& e, float t) {
    const float u = 1.0f - t;
    return scaled(t, scaled(t, e)) + (scaled(t, scaled(2.0f, scaled(u, c))) + scaled(u, scaled(u, s)));
}

bool readLuaKey(LuaScript2& script, const char* name, float* value) { return readLuaFloat(script, name, value); }
bool readLuaKey(LuaScript2& script, const char* name, Vector2<float>* value) {
    return readLuaPair(script, name, value);
}
bool readLuaKey(LuaScript2& script, const char* name, Color* value) {
    return readLuaColorBytes(script, name, value);
}
bool readLuaKey(LuaScript2& script, const char* name, Rect* value) { return readLuaRect(script, name, value); }

bool readXmlKey(XmlDataReader& reader, const char* name, float* value) { return reader.readFloat(name, value); }
bool readXmlKey(XmlDataReader& reader, const char* name, Vector2<float>* value) {
    return reader.readVector2(name, value);
}
bool readXmlKey(XmlDataReader& reader, const char* name, Color* value) { return reader.readColor(name, value); }
bool readXmlKey(XmlDataReader& reader, const char* name, Rect* value) { return reader.readRect(name, value); }

}  // namespace

Animation::IContainer::~IContainer() {
    for (IFunction* callback : mCallbacks) delete callback;
}

void Animation::IContainer::callCallbacks() {
    for (IFunction* callback : mCallbacks) callback->call();
}

template <class T>
void Animation::Container<T>::keyRead(bool found, const T& value) {
    mEnabled = mEnabled && found;
    if (mFirst || found) {
        if (mEnabled) mKeys.push_back(value);
        mFirst = false;
        return;
    }
    QV_FATAL(formatString("Failed to load animation parameter %s", mName.c_str()));
}

template <class T>
void Animation::Container<T>::loadFromXml(XmlDataReader& reader) {
    if (!mEnabled) return;
    T value = T();
    bool found = readXmlKey(reader, mName.c_str(), &value);
    keyRead(found, value);
}

template <class T>
void Animation::Container<T>::loadFromLua(LuaScript2& script) {
    if (!mEnabled) return;
    T value = T();
    bool found = readLuaKey(script, mName.c_str(), &value);
    keyRead(found, value);
}

template <class T>
T Animation::Container<T>::valueAt(uint32_t i, uint32_t j, float t) const {
    const uint32_t n = static_cast<uint32_t>(mKeys.size());
    if (!mInterpolate) return mKeys[i];
    if (mSmooth && n >= 3 && i != j) {
        const T& ki = mKeys[i];
        const T& kj = mKeys[j];
        const T c = mid(ki, kj);
        const T s = i > 0 ? mid(mid(mKeys[i - 1], ki), c) : ki;
        const T e = j < n - 1 ? mid(c, mid(kj, mKeys[j + 1])) : kj;
        return bezier(s, c, e, t);
    }
    return lerp(mKeys[i], mKeys[j], t);
}

template <class T>
void Animation::Container<T>::apply(int32_t i, uint32_t j, float t) {
    if (!mEnabled || mKeys.empty()) return;
    // Frames beyond the keys (a track bound after its frames were made) hold
    // the last key rather than reading past the end.
    const uint32_t last = static_cast<uint32_t>(mKeys.size() - 1);
    uint32_t from = i < 0 ? 0u : static_cast<uint32_t>(i);
    if (from > last) from = last;
    if (j > last) j = last;
    const T value = valueAt(from, j, t);
    for (T* target : mTargets) *target = value;
    for (const Element& e : mElements) {
        if (e.values) {
            if (e.index < e.values->size()) (*e.values)[e.index] = value;
            continue;
        }
        const std::vector<T*>& pointers = *e.pointers;
        if (e.index == kEvery) {
            for (T* p : pointers)
                if (p) *p = value;
        } else if (e.index < pointers.size() && pointers[e.index]) {
            *pointers[e.index] = value;
        }
    }
}

template <class T>
void Animation::Container<T>::addKey(int32_t index) {
    if (mKeys.empty()) {
        mKeys.push_back(T());
    } else if (index < 0 || static_cast<size_t>(index) >= mKeys.size()) {
        // An index past the end appends, like "at the end".
        T last = mKeys.back();
        mKeys.push_back(last);
    } else {
        T copy = mKeys[index];
        mKeys.insert(mKeys.begin() + index, copy);
    }
}

template <class T>
void Animation::Container<T>::clearKeys() {
    mKeys.clear();
}

template <class T>
void Animation::Container<T>::removeKey(uint32_t index) {
    if (index < mKeys.size()) mKeys.erase(mKeys.begin() + index);
}

template <class T>
Animation::IContainer* Animation::Container<T>::clone() const {
    Container<T>* copy = new Container<T>(mName);
    copy->mKeys = mKeys;
    copy->mSmooth = mSmooth;
    copy->mInterpolate = mInterpolate;
    copy->mEnabled = mEnabled;
    copy->mFirst = mFirst;
    return copy;
}

template class Animation::Container<float>;
template class Animation::Container<Vector2<float>>;
template class Animation::Container<Color>;
template class Animation::Container<Rect>;

}  // namespace QV
