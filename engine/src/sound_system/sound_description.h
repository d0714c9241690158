#pragma once

#include <string>

namespace QV {

// How a sound resource is registered: group 0 is sound effects (queued),
// groups 1 and 2 are music.
struct SoundDescription {
    std::string fileName;
    int group = 0;
    float volume = 1.0f;
    bool looped = false;
    int priority = 0;
};

}  // namespace QV
