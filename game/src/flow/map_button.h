#pragma once

#include <string>

namespace AE {
class ISceneNode;
}
class MapButton;

// Told when an episode arrow of the map is released over itself.
class MapButtonListener {
public:
    virtual ~MapButtonListener() = default;
    virtual void onMapButton(MapButton* button) = 0;
};

// An episode arrow on the map: a scene node whose markers "regular>selected",
// "selected>pressed", ... play as the pointer enters, presses and leaves.
class MapButton {
public:
    enum State { Regular = 0, Selected = 1, Pressed = 2 };

    MapButton(AE::ISceneNode* node, MapButtonListener* listener);

    // Follows the pointer; a release over the arrow tells the listener.
    void update();
    void setState(int state);
    static const char* stateName(int state);

    AE::ISceneNode* getNode() const { return mNode; }
    int getState() const { return mState; }

private:
    AE::ISceneNode* mNode;  // owned by the map scene
    int mState = Regular;
    MapButtonListener* mListener;
};
