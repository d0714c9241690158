#include "animation.h"

#include <cmath>

#include "animation_lua_values.h"
#include "lua_script2.h"

namespace QV {

Animation::Animation(const Animation& other)
    : mDurations(other.mDurations),
      mLoopCoefficients(other.mLoopCoefficients),
      mTime(other.mTime),
      mTotal(other.mTotal),
      mLoop(other.mLoop),
      mPlaying(other.mPlaying),
      mSpeed(other.mSpeed),
      mSmooth(other.mSmooth) {
    mTracks.reserve(other.mTracks.size());
    for (const IContainer* track : other.mTracks) mTracks.push_back(track->clone());
}

Animation::~Animation() {
    for (IContainer* track : mTracks) delete track;
}

void Animation::setSmooth() {
    mSmooth = true;
    for (IContainer* track : mTracks) track->mSmooth = true;
}

Animation::IContainer* Animation::findTrack(const std::string& name) const {
    for (IContainer* track : mTracks) {
        if (track->mName == name) return track;
    }
    return nullptr;
}

void Animation::addCallback(const std::string& name, IFunction* callback) {
    IContainer* track = findTrack(name);
    if (track) {
        track->mCallbacks.push_back(callback);
    } else {
        delete callback;
    }
}

bool Animation::load(const std::string& scriptName, const std::string& package,
                     const std::string& tableName) {
    LuaScript2 script(createLuaState());
    if (!script.loadScript(scriptName, package)) return false;
    const bool named = !tableName.empty();
    if (named && !script.openTable(tableName.c_str())) return false;
    bool ok = parse(script);
    if (named) script.closeTable();
    return ok;
}

bool Animation::parse(LuaScript2& script) {
    lua_State* L = script.state();
    if (!script.openTable("Animation")) return false;
    bool loop = false;
    script.getBool("loop", &loop);
    mLoop = loop;
    float speed = 1.0f;
    if (!readLuaFloat(script, "speedCoef", &speed)) speed = 1.0f;
    mSpeed = speed;
    if (!script.openTable("Frames")) {
        script.closeTable();
        return false;
    }
    bool ok = true;
    lua_checkstack(L, 8);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (!script.openTopTable()) {
            lua_pop(L, 2);  // value and key: the traversal ends here
            ok = false;
            break;
        }
        float duration = 0.0f;
        readLuaFloat(script, "duration", &duration);
        mDurations.push_back(duration);
        mTotal += duration;
        float loopCoefficient = 1.0f;
        if (!readLuaFloat(script, "loopCoeff", &loopCoefficient)) loopCoefficient = 1.0f;
        mLoopCoefficients.push_back(loopCoefficient);
        for (IContainer* track : mTracks) track->loadFromLua(script);
        script.closeTable();
        lua_pop(L, 1);
    }
    script.closeTable();
    script.closeTable();
    return ok;
}

uint32_t Animation::frameAt(float time) const {
    const uint32_t count = frameCount();
    float start = 0.0f;
    for (uint32_t k = 0; k < count; ++k) {
        const float end = start + mDurations[k];
        if (start <= time && time < end) return k;
        start = end;
    }
    return count ? count - 1 : 0;
}

void Animation::update(float seconds) {
    const uint32_t count = frameCount();
    if (count == 0) return;
    const float step = mPlaying ? mSpeed * seconds : 0.0f;
    mTime += step;
    if (mLoop && mTime > mTotal) {
        mTime = mTotal > 0.0f ? mTime - std::trunc(mTime / mTotal) * mTotal : 0.0f;
    }
    const uint32_t i = frameAt(mTime);
    const uint32_t j = i + 1 < count ? i + 1 : count - 1;
    float start = 0.0f;
    for (uint32_t k = 0; k < i; ++k) start += mDurations[k];
    float t = 1.0f;
    if (mDurations[i] > 0.0f) {
        t = (mTime - start) / mDurations[i];
        if (t > 1.0f) t = 1.0f;
    }
    for (IContainer* track : mTracks) {
        track->apply(static_cast<int32_t>(i), j, t);
        track->callCallbacks();
    }
}

void Animation::addFrame(float duration) {
    mDurations.push_back(duration);
    mLoopCoefficients.push_back(1.0f);
    mTotal += duration;
    for (IContainer* track : mTracks) track->addKey(-1);
}

void Animation::clearFrames() {
    mDurations.clear();
    mLoopCoefficients.clear();
    mTotal = 0.0f;
    for (IContainer* track : mTracks) track->clearKeys();
}

bool Animation::isFinished() const { return !mLoop && mTime >= mTotal; }

bool Animation::isRunning() const { return mPlaying && mTime < mTotal; }

}  // namespace QV
