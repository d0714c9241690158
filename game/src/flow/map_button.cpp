#include "flow/map_button.h"

#include <cmath>

#include "animationeditor/marker.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_node.h"
#include "flow/game_state_manager.h"
#include "input_manager.h"

MapButton::MapButton(AE::ISceneNode* node, MapButtonListener* listener) : mNode(node), mListener(listener) {}

const char* MapButton::stateName(int state) {
    switch (state) {
        case Selected: return "selected";
        case Pressed: return "pressed";
        default: return "regular";
    }
}

void MapButton::setState(int state) {
    if (state == mState) return;
    if (mNode) {
        const std::string name = std::string(stateName(mState)) + ">" + stateName(state);
        if (AE::Marker* marker = mNode->findMarker(name)) marker->play(true);
    }
    mState = state;
}

void MapButton::update() {
    QV::InputManager* input = QV::InputManager::instancePointer();
    GameStateManager* states = GameStateManager::instancePointer();
    if (!mNode || !input || !input->getMouse() || !states) return;
    AE::MovieCamera* camera = mNode->mParent ? mNode->getSceneCamera() : mNode->mActiveCamera;
    const QV::Vector2<int> pointer = input->getMousePosition();
    const QV::Vector2<float> size = states->getDesignScreenSize();
    float x = float(pointer.x), y = float(pointer.y);
    if (camera) {
        const QV::Camera view = camera->getWorldTransform();
        const float zx = camera->getScale().x != 0.0f ? camera->getScale().x : 1.0f;
        const float zy = camera->getScale().y != 0.0f ? camera->getScale().y : 1.0f;
        x = (size.x / 2 - view.x) + (x - size.x / 2) / zx;
        y = (size.y / 2 - view.y) + (y - size.y / 2) / zy;
    }
    const bool hit = mNode->hitTest(int(std::trunc(x)), int(std::trunc(y)), true);
    switch (mState) {
        case Regular:
            if (hit) setState(Selected);
            break;
        case Selected:
            if (!hit) setState(Regular);
            else if (input->isMouseDown()) setState(Pressed);
            break;
        default:
            if (!hit) {
                setState(Regular);
            } else if (input->isMouseReleased()) {
                setState(Selected);
                if (mListener) mListener->onMapButton(this);
            }
            break;
    }
}
