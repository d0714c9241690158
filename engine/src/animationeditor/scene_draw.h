#pragma once

#include <vector>

namespace QV {
struct Camera;
}

namespace AE {

class ISceneNode;

// Where scene drawing reads and sets the render camera.
class SceneCameraTarget {
public:
    virtual ~SceneCameraTarget() = default;
    virtual QV::Camera getCamera() = 0;
    virtual void setCamera(const QV::Camera& camera) = 0;
};

// Replaces the render system as the camera target (not owned); null restores it.
void setSceneCameraTarget(SceneCameraTarget* target);
// The replacement, else the render system's camera, else null when there is no render system.
SceneCameraTarget* sceneCameraTarget();

// Draws a tree back to front: the node with the largest posZ first. The
// render camera is the same afterwards as before.
void drawScene(ISceneNode* root);

// The tree in drawing order, front to back (ascending posZ): drawScene draws
// it from the last entry to the first. Shares the render list's storage.
const std::vector<ISceneNode*>& collectSceneDrawList(ISceneNode* root);

// The sprite node whose clip shape is in the stencil buffer; drawScene clears it.
ISceneNode* currentClipNode();
void setCurrentClipNode(ISceneNode* node);

}  // namespace AE
