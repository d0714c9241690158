#pragma once

#include <string>

#include "animationeditor/scene_node.h"
#include "log_system.h"
#include "support/temp_dir.h"

namespace scenetest {

// A log in a temp folder, for the lines the scene runtime writes.
struct LoggedTest {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd{dir.path()};
    QV::LogSystem log;
};

inline AE::ISceneNode* node(const std::string& name, AE::ISceneNode* parent = nullptr) {
    AE::ISceneNode* n = new AE::ISceneNode();
    n->mName = name;
    if (parent) parent->addChild(n, AE::KeepTransform::Local);
    return n;
}

// Keys "posX" at the given frames with the given values.
inline void keyPosX(AE::ISceneNode* n, int frame, float x) {
    n->mTimeline->addKeyFrame(frame);
    n->mTimeline->getFloatKey("posX", n->mTimeline->keyFrameIndex(frame)).value = x;
}

}  // namespace scenetest
