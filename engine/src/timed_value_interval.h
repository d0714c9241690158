#pragma once

#include <cstdint>
#include <vector>

#include "color.h"
#include "property_visit_archive.h"
#include "report_assert.h"
#include "serializable.h"
#include "xml_iarchive.h"
#include "xml_output_archive.h"

namespace QV {

namespace curve_detail {

inline float blend(float a, float wa, float b, float wb) { return wa * a + wb * b; }
inline Color blend(const Color& a, float wa, const Color& b, float wb) {
    return Color::modulate(Color(wa), a) + Color::modulate(Color(wb), b);
}
inline float halfway(float minValue, float maxValue, int lines, int line) {
    float range = maxValue - minValue;
    float step = range / static_cast<float>(lines);
    return minValue + range / 2.0f - static_cast<float>(line) * step;
}
inline Color halfway(const Color& minValue, const Color& maxValue, int, int) {
    Color diff = maxValue - minValue;
    return minValue + Color::fromBytes(diff.r / 2, diff.g / 2, diff.b / 2, diff.a / 2);
}
inline float zeroValue(float) { return 0.0f; }
inline Color zeroValue(const Color&) { return Color(); }
inline float constructedMax(float) { return 100.0f; }
inline Color constructedMax(const Color&) { return Color::fromBytes(100, 100, 100, 100); }

}  // namespace curve_detail

// A keyed curve over a percent of some life (0..100), evaluated through a
// cache of 25 samples of one line.
template <class T>
class TimedValueInterval : public Serializable {
public:
    static constexpr int kSampleCount = 25;

    class timevalue : public Serializable {
    public:
        timevalue() = default;
        timevalue(int t, const T& v) : time(t), value(v) {}
        void visit(PropertyVisitArchive& archive) override {
            archive.visit(makeNvp("time", time));
            archive.visit(makeNvp("value", value));
        }
        void load(XmlIArchive& archive) override {
            archive.load(makeNvp("time", time));
            archive.load(makeNvp("value", value));
        }
        void save(XmlOutputArchive& archive) override {
            archive.save(makeNvp("time", time));
            archive.save(makeNvp("value", value));
        }
        int time = 0;
        T value{};
    };
    using Line = std::vector<timevalue*>;

    TimedValueInterval() : mMaxValue(curve_detail::constructedMax(T())) {}
    TimedValueInterval(const T& minValue, const T& maxValue) : mMinValue(minValue), mMaxValue(maxValue) {
        makeDefaultLines();
    }
    TimedValueInterval(const TimedValueInterval& other) : Serializable(other) { copyFrom(other); }
    TimedValueInterval& operator=(const TimedValueInterval& other) {
        if (this != &other) copyFrom(other);
        return *this;
    }
    ~TimedValueInterval() override { clear(); }

    void addKey(int line, int time, const T& value) {
        if (line != 0) {
            reportAssert("QV", "[TimedValueInterval] Only one line supported", "timed_value_interval", 201);
            breakpointTrap();
        }
        while (static_cast<int>(mValues.size()) <= line) mValues.emplace_back();
        mValues[line].push_back(new timevalue(time, value));
        mSamplesInvalid = true;
    }

    void clear() {
        for (Line& line : mValues) {
            for (timevalue* key : line) delete key;
        }
        mValues.clear();
        mSamplesInvalid = true;
    }

    void makeDefaultLines() {
        clear();
        int lines = mLinesCount > 0 ? mLinesCount : 0;
        mValues.resize(lines);
        for (int i = 0; i < lines; ++i) {
            T v = curve_detail::halfway(mMinValue, mMaxValue, lines, i);
            addKey(i, 0, v);
            addKey(i, 100, v);
        }
    }

    T evaluateExact(int line, int t) const {
        // A curve with no lines (missing from its file) reads as zero.
        if (mLinesCount <= 0 || mValues.empty()) return curve_detail::zeroValue(T());
        if (line < 0 || line >= mLinesCount || line >= static_cast<int>(mValues.size())) {
            reportAssert("QV", "", "timed_value_interval", 265);
            breakpointTrap();
        }
        const Line& keys = mValues[line];
        if (keys.empty()) return curve_detail::zeroValue(T());
        if (keys.size() == 1) return keys[0]->value;
        const timevalue* first = keys[0];
        for (const timevalue* key : keys) {
            if (key->time < first->time) first = key;
        }
        const timevalue* lower = nullptr;
        for (const timevalue* key : keys) {
            if (key->time <= t && (!lower || key->time >= lower->time)) lower = key;
        }
        if (!lower) lower = first;
        const timevalue* upper = nullptr;
        for (const timevalue* key : keys) {
            if (key->time > t && (!upper || key->time < upper->time)) upper = key;
        }
        if (!upper) upper = lower;
        if (upper->time == lower->time) return lower->value;
        float w = static_cast<float>(upper->time - t) / static_cast<float>(upper->time - lower->time);
        return curve_detail::blend(upper->value, 1.0f - w, lower->value, w);
    }

    T evaluate(int line, int t) {
        if (mSamplesInvalid) {
            for (int k = 0; k < kSampleCount; ++k) mSamples[k] = evaluateExact(line, 4 * k);
            mSamplesInvalid = false;
        }
        int c = clampSample(t >> 2);
        int n = clampSample(c + 1);
        if (c == n) return mSamples[kSampleCount - 1];
        float w = static_cast<float>(t - 4 * c) * 0.25f;
        return curve_detail::blend(mSamples[n], w, mSamples[c], 1.0f - w);
    }

    T evaluateMean(int t) { return mean(t); }

    // Serialized fields, in file order.
    template <class Archive, class Op>
    void fields(Archive& archive, Op op) {
        op(archive, makeNvp("mValues", mValues));
        op(archive, makeNvp("mLinesCount", mLinesCount));
        op(archive, makeNvp("mMinValue", mMinValue));
        op(archive, makeNvp("mMaxValue", mMaxValue));
        op(archive, makeNvp("mSingleLine", mSingleLine));
    }
    void visit(PropertyVisitArchive& archive) override {
        fields(archive, [](PropertyVisitArchive& a, auto pair) { a.visit(pair); });
    }
    void load(XmlIArchive& archive) override {
        clear();
        fields(archive, [](XmlIArchive& a, auto pair) { a.load(pair); });
        // A count beyond the lines the file holds would index past them.
        if (mLinesCount < 0) mLinesCount = 0;
        if (mLinesCount > static_cast<int>(mValues.size())) mLinesCount = static_cast<int>(mValues.size());
        mSamplesInvalid = true;
    }
    void save(XmlOutputArchive& archive) override {
        fields(archive, [](XmlOutputArchive& a, auto pair) { a.save(pair); });
    }

    const std::vector<Line>& lines() const { return mValues; }
    int linesCount() const { return mLinesCount; }
    void setLinesCount(int count) { mLinesCount = count; }
    const T& minValue() const { return mMinValue; }
    const T& maxValue() const { return mMaxValue; }
    bool singleLine() const { return mSingleLine; }
    void setSingleLine(bool single) { mSingleLine = single; }

    std::vector<Line> mValues;
    int mLinesCount = 1;
    T mMinValue{};
    T mMaxValue{};
    bool mSingleLine = false;

private:
    static int clampSample(int i) { return i < 0 ? 0 : (i > kSampleCount - 1 ? kSampleCount - 1 : i); }

    void copyFrom(const TimedValueInterval& other) {
        mLinesCount = other.mLinesCount;
        mMinValue = other.mMinValue;
        mMaxValue = other.mMaxValue;
        mSingleLine = other.mSingleLine;
        clear();
        size_t lines = other.mValues.size();
        if (mLinesCount > 0 && static_cast<size_t>(mLinesCount) > lines) lines = static_cast<size_t>(mLinesCount);
        mValues.resize(lines);
        for (size_t i = 0; i < other.mValues.size(); ++i) {
            for (const timevalue* key : other.mValues[i]) mValues[i].push_back(new timevalue(key->time, key->value));
        }
        mSamplesInvalid = true;
    }

    T mean(int t);

    T mSamples[kSampleCount]{};
    bool mSamplesInvalid = true;
};

template <>
inline float TimedValueInterval<float>::mean(int t) {
    int count = mLinesCount;
    if (mSingleLine && mLinesCount >= 1) count = 1;
    if (count <= 0) return 0.0f;  // a missing curve means nothing, not 0/0
    float sum = 0.0f;
    for (int i = 0; i < count; ++i) sum += evaluate(i, t);
    return sum / static_cast<float>(count);
}

template <>
inline Color TimedValueInterval<Color>::mean(int) {
    int count = mLinesCount;
    if (mSingleLine && mLinesCount >= 1) count = 1;
    uint8_t divisor = static_cast<uint8_t>(count & 0xFF);
    if (count <= 0 || divisor == 0) return Color();
    Color sum;
    for (int i = 0; i < count; ++i) sum = sum + evaluate(i, 0);
    return Color::fromBytes(sum.r / divisor, sum.g / divisor, sum.b / divisor, sum.a / divisor);
}

}  // namespace QV
