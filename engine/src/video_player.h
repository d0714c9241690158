#pragma once

#include "singleton.h"

namespace QV {

// Placeholder until video lands: the queue is always empty.
class VideoPlayer : public Singleton<VideoPlayer> {
public:
    VideoPlayer() = default;
    void update() {}
    void renderBlocking() {}
    int entryCount() const { return 0; }
    bool isPlaying() const { return entryCount() != 0; }
};

}  // namespace QV
