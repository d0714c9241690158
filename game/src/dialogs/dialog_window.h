#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "animationeditor/marker.h"

namespace AE {
class ISceneNode;
}
namespace QV {
class UIWidget;
}
class DialogWindowListener;

// A pop-up window: a widget tree loaded from a UI script whose scene plays
// "show" when the window opens and "hide" when it closes. Its buttons take
// clicks only while it is shown; it closes with a result its listeners read.
class DialogWindow : public AE::MarkerListener {
public:
    enum State : int32_t { Shown = 0, Hidden = 1, Showing = 2, Hiding = 3 };

    ~DialogWindow() override;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    void onMarkerFinished(AE::Marker* marker) override;
    // Opens the window; queued lets the manager hold it back while other
    // windows are on screen.
    virtual void show(bool queued);
    // Starts closing; only a shown window closes.
    virtual void hide();
    virtual void relayout();
    // Called each frame while the window is on screen.
    virtual void update(float /*dt*/) {}

    void addListener(DialogWindowListener* listener);
    void removeListener(DialogWindowListener* listener);
    // Enables or disables the buttons of a widget subtree (null: the whole window).
    void setInputEnabled(bool enabled, QV::UIWidget* widget);

    QV::UIWidget* mRoot = nullptr;      // owned by the UI manager
    AE::ISceneNode* mScene = nullptr;   // owned by the scene widget
    int32_t mState = Hidden;
    std::vector<DialogWindowListener*> mListeners;  // not owned
    AE::Marker* mShowMarker = nullptr;
    AE::Marker* mHideMarker = nullptr;
    bool mReleased = false;  // set by an owner that gives the window up
    int32_t mResult = 0;

protected:
    // A window over a bare scene, without a widget tree: its scene is updated
    // and drawn by whoever owns it.
    DialogWindow(AE::ISceneNode* scene, const std::string& name);

private:
    void attachScene(const std::string& name);
    void showTree();
    void hideTree();
    template <typename Call>
    void tellListeners(Call call);

    // Set while listeners are told: a listener may delete the window.
    bool* mDestroyed = nullptr;
};
