#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "vector2.h"

namespace QV {
class LuaScript2;
}

namespace AE {

class DataStream;

namespace SceneNodeAnimation {

// Told right after its container has written a new value into its targets.
class IListener {
public:
    virtual ~IListener() = default;
    virtual void onEvaluated() = 0;
};

// One key of a track: the value, its easing data and its frame number.
template <class T>
struct Key {
    T value{};
    T bezierOffset{};
    float bezierCoeff = 0.5f;
    uint32_t frame = 0;
    bool bezierFlag = false;
};

// A named track of keys, one key per key frame of the owning timeline.
class IContainer {
public:
    explicit IContainer(const std::string& name) : mName(name) {}
    virtual ~IContainer();
    IContainer(const IContainer&) = delete;
    IContainer& operator=(const IContainer&) = delete;

    // Appends one key read from the Lua table of one key frame.
    virtual void loadFromLua(QV::LuaScript2& script, int frame) = 0;
    // Computes the value between keys i and j at fraction t and writes it to every target.
    virtual void evaluate(int i, int j, float t) = 0;
    virtual void addKey(int frame, bool noSort) = 0;
    virtual void clearKeys() = 0;
    virtual void removeKey(int index) = 0;
    // Same type, name, keys and flags; no targets and no listeners.
    virtual IContainer* clone() const = 0;
    virtual bool moveKey(int fromFrame, int toFrame) = 0;
    virtual void sortKeys() = 0;
    virtual void write(DataStream& stream) const = 0;
    virtual void read(DataStream& stream) = 0;
    virtual size_t keyCount() const = 0;

    const std::string& name() const { return mName; }
    // The container owns the listener from then on.
    void addListener(IListener* listener) { mListeners.push_back(listener); }
    void notifyListeners();

    std::string mName;
    std::vector<IListener*> mListeners;
};

template <class T>
class Container : public IContainer {
public:
    explicit Container(const std::string& name) : IContainer(name) {}

    void loadFromLua(QV::LuaScript2& script, int frame) override;
    void evaluate(int i, int j, float t) override;
    void addKey(int frame, bool noSort) override;
    void clearKeys() override { mKeys.clear(); }
    void removeKey(int index) override;
    IContainer* clone() const override;
    bool moveKey(int fromFrame, int toFrame) override;
    void sortKeys() override;
    void write(DataStream& stream) const override;
    void read(DataStream& stream) override;
    size_t keyCount() const override { return mKeys.size(); }

    // Evaluates without writing the targets.
    T valueAt(int i, int j, float t) const;

    bool mSubTimeline = false;
    bool mInterpolate = true;
    std::vector<T*> mTargets;
    std::vector<Key<T>> mKeys;
    bool mActive = true;
    bool mFirstLoadPending = true;
};

extern template class Container<float>;
extern template class Container<QV::Vector2<float>>;
extern template class Container<QV::Color>;
extern template class Container<int>;
extern template class Container<bool>;

// The key of a named parameter in a list of containers. A name that none
// bears, a container of another type and an index out of range are fatal.
template <class T>
Key<T>& findKey(const std::vector<IContainer*>& containers, const std::string& name, int index);

// The container of a named parameter, fatal as above when missing or of another type.
template <class T>
Container<T>* findContainer(const std::vector<IContainer*>& containers, const std::string& name);

}  // namespace SceneNodeAnimation

// ((1000 - k) * a + k * b) / 1000 with k = trunc(t * 1000), truncated toward zero.
int lerpInt(int a, int b, float t);
// Per byte ((k + 1) * a >> 8) + ((256 - k) * b >> 8) with k = trunc(t * 255):
// t = 1 gives a, t = 0 gives b.
QV::Color blendColor(const QV::Color& a, const QV::Color& b, float t);

}  // namespace AE
