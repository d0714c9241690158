#include "flow/level_buttons.h"

#include "flow/episode.h"

namespace {

const EpisodeLevel* levelAt(const Episode& episode, int32_t part, int32_t level) {
    if (part < 0 || size_t(part) >= episode.mParts.size()) return nullptr;
    const EpisodePart* p = episode.mParts[size_t(part)];
    if (level < 0 || size_t(level) >= p->mLevels.size()) return nullptr;
    return p->mLevels[size_t(level)];
}

// No part before this one is closed.
bool reachable(const Episode& episode, int32_t part) {
    for (int32_t i = 0; i < part; ++i)
        if (episode.mParts[size_t(i)]->mClosed) return false;
    return true;
}

}  // namespace

LevelButtonPose levelButtonPose(const Episode& episode, int32_t part, int32_t level) {
    const EpisodeLevel* target = levelAt(episode, part, level);
    if (!target) return LevelButtonPose::Locked;
    if (target->mCompleted) return LevelButtonPose::Completed;
    return isLevelButtonOpen(episode, part, level) ? LevelButtonPose::Open : LevelButtonPose::Locked;
}

bool isLevelButtonOpen(const Episode& episode, int32_t part, int32_t level) {
    if (!levelAt(episode, part, level)) return false;
    const EpisodePart* p = episode.mParts[size_t(part)];
    return !p->mClosed && (level == 0 || p->mLevels[size_t(level) - 1]->mCompleted);
}

bool isLevelClickable(const Episode& episode, int32_t part, int32_t level, int32_t currentLevel) {
    const EpisodeLevel* target = levelAt(episode, part, level);
    if (!target || !reachable(episode, part)) return false;
    if (target->mCompleted) return true;
    return !episode.mParts[size_t(part)]->mClosed && level <= currentLevel;
}
