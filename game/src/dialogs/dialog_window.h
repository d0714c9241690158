#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "function.h"

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

    // Loads the UI script `resource` (table `windowName`, package "default")
    // as a root widget and takes the scene of its scene widget `childName`.
    DialogWindow(const std::string& resource, const std::string& windowName,
                 const std::string& childName);
    ~DialogWindow() override;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    void onMarkerFinished(AE::Marker* marker) override;
    // Opens the window; queued lets the manager hold it back while other
    // windows are on screen.
    virtual void show(bool queued);
    // Starts closing; only a shown window closes.
    virtual void hide();
    // Takes the window off screen at once, in whatever state it is, without
    // telling its listeners: a state that leaves drops its windows unanswered.
    void closeForcibly();
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

    // The widget of that name in the window; a window resource that lacks it is fatal.
    QV::UIWidget* requireWidget(const std::string& name);
    // Makes the window a listener of the marker; the destructor leaves every
    // marker listened to this way, so a marker that ends after the window is
    // gone (its scene lives until the UI manager's next update) tells no one.
    // A window that swaps mShowMarker or mHideMarker listens to the new one here.
    void listenTo(AE::Marker* marker);
    // Leaves every marker listened to; a window that owns its scene calls it
    // before deleting the scene.
    void stopListening();
    // Binds the button's "clicked" to a member operation of the window.
    template <class T>
    void bindButton(const std::string& name, T* window, void (T::*method)()) {
        connectClicked(requireWidget(name), new QV::Function<T>(window, method));
    }

private:
    void connectClicked(QV::UIWidget* button, QV::IFunction* callback);
    void attachScene(const std::string& name);
    void showTree();
    void hideTree();
    template <typename Call>
    void tellListeners(Call call);

    std::vector<AE::Marker*> mListenedMarkers;  // not owned
    // Set while listeners are told: a listener may delete the window.
    bool* mDestroyed = nullptr;
    std::string mResource;  // for error messages
};
