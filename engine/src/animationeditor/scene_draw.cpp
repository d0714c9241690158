#include "animationeditor/scene_draw.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_node.h"
#include "camera.h"
#include "render_system.h"

namespace AE {

namespace {

// The render system's own camera, the target unless a test replaces it.
class RenderSystemCamera : public SceneCameraTarget {
public:
    QV::Camera getCamera() override { return QV::RenderSystem::instance()->getCamera(); }
    void setCamera(const QV::Camera& camera) override { QV::RenderSystem::instance()->setCamera(camera); }
};

RenderSystemCamera gRenderSystemCamera;
SceneCameraTarget* gCameraTarget = nullptr;
ISceneNode* gClipNode = nullptr;
// Kept between frames so that drawing allocates nothing in the usual case.
std::vector<ISceneNode*>* gRenderList = nullptr;
int gDrawDepth = 0;

void collect(ISceneNode* node, std::vector<ISceneNode*>& list) {
    list.push_back(node);
    for (ISceneNode* child : node->mChildren) collect(child, list);
}

// A NaN depth sorts as the deepest, so the order stays a strict weak one.
float depthKey(const ISceneNode* node) {
    const float z = node->mPosZ;
    return z == z ? z : std::numeric_limits<float>::infinity();
}

bool drawnBefore(const ISceneNode* a, const ISceneNode* b) {
    if (!a) return false;
    if (!b) return true;
    return depthKey(a) < depthKey(b);
}

void buildList(ISceneNode* root, std::vector<ISceneNode*>& list) {
    list.clear();
    if (root) collect(root, list);
    std::sort(list.begin(), list.end(), drawnBefore);
}

std::vector<ISceneNode*>& sharedList() {
    if (!gRenderList) {
        gRenderList = new std::vector<ISceneNode*>();
        gRenderList->reserve(1024);
    }
    return *gRenderList;
}

}  // namespace

void setSceneCameraTarget(SceneCameraTarget* target) { gCameraTarget = target; }

SceneCameraTarget* sceneCameraTarget() {
    if (gCameraTarget) return gCameraTarget;
    // Without a render system (tools, tests) there is no camera to set.
    return QV::Singleton<QV::RenderSystem>::instancePointer() ? &gRenderSystemCamera : nullptr;
}

ISceneNode* currentClipNode() { return gClipNode; }

void setCurrentClipNode(ISceneNode* node) { gClipNode = node; }

const std::vector<ISceneNode*>& collectSceneDrawList(ISceneNode* root) {
    std::vector<ISceneNode*>& list = sharedList();
    buildList(root, list);
    return list;
}

void drawScene(ISceneNode* root) {
    // A node that draws a scene of its own gets a list of its own, so the
    // shared one is never changed under the loop that walks it.
    std::vector<ISceneNode*> nested;
    std::vector<ISceneNode*>& list = gDrawDepth == 0 ? sharedList() : nested;
    ++gDrawDepth;
    buildList(root, list);
    gClipNode = nullptr;
    SceneCameraTarget* target = sceneCameraTarget();
    QV::Camera saved;
    if (target) saved = target->getCamera();
    for (size_t i = list.size(); i-- > 0;) list[i]->draw();
    if (target) target->setCamera(saved);
    --gDrawDepth;
}

void ISceneNode::applyCameraView() {
    MovieCamera* camera = mParent ? getSceneCamera() : mActiveCamera;
    mActiveCamera = camera;
    if (!camera) return;
    QV::Camera view = camera->getCamera();
    if (mParallax && camera->mParallax) {
        const float z = mPosZ == 0.0f ? 1.0f : mPosZ;
        const float k = std::fabs(z) * camera->mParallaxCoef;
        // A coefficient of 0 (parallax enabled without one) leaves the view undivided.
        if (k != 0.0f && std::isfinite(k)) {
            view.x /= k;
            view.y /= k;
        }
    }
    if (SceneCameraTarget* target = sceneCameraTarget()) target->setCamera(view);
}

}  // namespace AE
