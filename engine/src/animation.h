#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "color.h"
#include "function.h"
#include "format_string.h"
#include "rect.h"
#include "report_assert.h"
#include "vector2.h"

namespace QV {

class LuaScript2;
class XmlDataReader;

// A keyframe animation: timed frames plus named tracks holding one key per
// frame. Owners bind the addresses of their own fields to track names; every
// update writes the interpolated values into them and then calls the change
// callbacks attached to each track.
class Animation {
public:
    // A track of one parameter.
    class IContainer {
    public:
        explicit IContainer(const std::string& name) : mName(name) {}
        virtual ~IContainer();
        IContainer(const IContainer&) = delete;
        IContainer& operator=(const IContainer&) = delete;

        // Reads this track's key from the frame element or table that is current.
        virtual void loadFromXml(XmlDataReader& reader) = 0;
        virtual void loadFromLua(LuaScript2& script) = 0;
        // Writes the value between key i and key j at fraction t to every target.
        virtual void apply(int32_t i, uint32_t j, float t) = 0;
        // Negative index: at the end.
        virtual void addKey(int32_t index) = 0;
        virtual void clearKeys() = 0;
        virtual void removeKey(uint32_t index) = 0;
        // A copy of name, keys and flags, without targets and callbacks.
        virtual IContainer* clone() const = 0;
        virtual uint32_t keyCount() const = 0;

        void callCallbacks();

        std::string mName;
        std::vector<IFunction*> mCallbacks;  // owned
        bool mSmooth = false;
        bool mInterpolate = true;
    };

    // T is float, Vector2<float>, Color or Rect.
    template <class T>
    class Container : public IContainer {
    public:
        explicit Container(const std::string& name) : IContainer(name) {}

        void loadFromXml(XmlDataReader& reader) override;
        void loadFromLua(LuaScript2& script) override;
        void apply(int32_t i, uint32_t j, float t) override;
        void addKey(int32_t index) override;
        void clearKeys() override;
        void removeKey(uint32_t index) override;
        IContainer* clone() const override;
        uint32_t keyCount() const override { return static_cast<uint32_t>(mKeys.size()); }

        // An element of an owner's array, found again at every write, so
        // the owner may reallocate the array after binding: values[index]
        // or, through pointers, *(*pointers)[index]; kEvery takes each one.
        struct Element {
            std::vector<T>* values = nullptr;
            std::vector<T*>* pointers = nullptr;
            size_t index = 0;
        };
        static constexpr size_t kEvery = static_cast<size_t>(-1);

        std::vector<T*> mTargets;  // not owned
        std::vector<Element> mElements;  // not owned
        std::vector<T> mKeys;
        bool mEnabled = true;
        bool mFirst = true;

    private:
        void keyRead(bool found, const T& value);
        T valueAt(uint32_t i, uint32_t j, float t) const;
    };

    Animation() = default;
    Animation(const Animation& other);
    Animation& operator=(const Animation&) = delete;
    virtual ~Animation();

    void setSmooth();

    // Loads "Animation" from a script (inside the global table tableName when
    // it is not empty). False when the script, the table or the description
    // is missing.
    bool load(const std::string& scriptName, const std::string& package, const std::string& tableName);
    // Reads "Animation" at the script's current table; appends frames.
    bool parse(LuaScript2& script);

    void update(float seconds);
    void addFrame(float duration);
    void clearFrames();
    bool isFinished() const;
    bool isRunning() const;

    uint32_t frameCount() const { return static_cast<uint32_t>(mDurations.size()); }
    // The frame whose span holds the clock value; the last frame when none does.
    uint32_t frameAt(float time) const;

    // Attaches a field to the track of that name, creating the track.
    template <class T>
    void bind(const std::string& name, T* target);
    // Attaches an element of an array the owner may reallocate later: the
    // element is looked up at each write and skipped while out of range.
    template <class T>
    void bindElement(const std::string& name, std::vector<T>* values, size_t index);
    // The same for an array of pointers to the values (kEvery: each of them).
    template <class T>
    void bindPointee(const std::string& name, std::vector<T*>* pointers, size_t index);
    // The stored key of a track at a frame, to read or set.
    template <class T>
    T& keyValue(const std::string& name, uint32_t frame);
    // The track of that name takes ownership of the callback; without such a
    // track the callback is deleted.
    void addCallback(const std::string& name, IFunction* callback);

    IContainer* findTrack(const std::string& name) const;

    std::vector<IContainer*> mTracks;  // owned
    std::vector<float> mDurations;
    std::vector<float> mLoopCoefficients;
    float mTime = 0.0f;
    float mTotal = 0.0f;
    bool mLoop = false;
    bool mPlaying = true;
    float mSpeed = 1.0f;
    bool mSmooth = false;

private:
    template <class T>
    Container<T>* typedTrack(const std::string& name) const;
    template <class T>
    Container<T>* trackFor(const std::string& name);
};

extern template class Animation::Container<float>;
extern template class Animation::Container<Vector2<float>>;
extern template class Animation::Container<Color>;
extern template class Animation::Container<Rect>;

template <class T>
Animation::Container<T>* Animation::typedTrack(const std::string& name) const {
    IContainer* track = findTrack(name);
    if (!track) return nullptr;
    Container<T>* typed = dynamic_cast<Container<T>*>(track);
    if (!typed) {
        QV_FATAL(formatString("Animation parameter %s has another value type", name.c_str()));
    }
    return typed;
}

template <class T>
Animation::Container<T>* Animation::trackFor(const std::string& name) {
    Container<T>* track = typedTrack<T>(name);
    if (!track) {
        track = new Container<T>(name);
        track->mSmooth = mSmooth;
        mTracks.push_back(track);
    }
    track->mInterpolate = !std::is_same<T, Rect>::value;
    return track;
}

template <class T>
void Animation::bind(const std::string& name, T* target) {
    trackFor<T>(name)->mTargets.push_back(target);
}

template <class T>
void Animation::bindElement(const std::string& name, std::vector<T>* values, size_t index) {
    typename Container<T>::Element element;
    element.values = values;
    element.index = index;
    trackFor<T>(name)->mElements.push_back(element);
}

template <class T>
void Animation::bindPointee(const std::string& name, std::vector<T*>* pointers, size_t index) {
    typename Container<T>::Element element;
    element.pointers = pointers;
    element.index = index;
    trackFor<T>(name)->mElements.push_back(element);
}

template <class T>
T& Animation::keyValue(const std::string& name, uint32_t frame) {
    Container<T>* track = typedTrack<T>(name);
    if (!track) {
        QV_FATAL("Failed to find parameter with specified name");
    }
    if (frame >= track->mKeys.size()) {
        QV_FATAL("Bad frameid specified");
    }
    return track->mKeys[frame];
}

}  // namespace QV
