#include "animationeditor/node_timeline.h"
#include "report_assert.h"

namespace AE {

namespace {

template <class T>
void unbind(NodeTimeline& timeline, const std::string& name, T* target) {
    SceneNodeAnimation::IContainer* found = timeline.findContainer(name);
    if (!found) return;
    auto* container = dynamic_cast<SceneNodeAnimation::Container<T>*>(found);
    if (!container) QV_FATAL("Bad type specified");
    std::vector<T*>& targets = container->mTargets;
    for (size_t i = 0; i < targets.size();) {
        if (targets[i] == target) {
            // The last target takes the removed one's place.
            targets[i] = targets.back();
            targets.pop_back();
        } else {
            ++i;
        }
    }
}

}  // namespace

void NodeTimeline::unbindFloat(const std::string& name, float* target) { unbind(*this, name, target); }
void NodeTimeline::unbindVector2(const std::string& name, QV::Vector2<float>* target) { unbind(*this, name, target); }
void NodeTimeline::unbindInt(const std::string& name, int* target) { unbind(*this, name, target); }

}  // namespace AE
