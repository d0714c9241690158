#pragma once

#include "singleton.h"

namespace QV {

// Placeholder until video lands: no decoding thread, no surfaces.
class VideoSurfaceStreamer : public Singleton<VideoSurfaceStreamer> {
public:
    VideoSurfaceStreamer() = default;
    void uploadFrames() {}
};

}  // namespace QV
