#pragma once

#include <string>

#include "animationeditor/marker.h"
#include "ui/ui_widget.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}
class Blackout;
class TutorialWindowListener;

// The tutorial's own panel: a text, an optional arrow that points at a screen
// point, an optional close button and a blackout drawn beneath it. It is not
// a dialog window: nobody queues it, it has no result, and it reports to its
// lesson only. The lesson owns it.
class TutorialWindow : public AE::MarkerListener {
public:
    // Draws the window's blackout beneath the panel: the first child of its root.
    class BlackoutRenderer : public QV::UIWidget {
    public:
        explicit BlackoutRenderer(QV::UIWidget* parent);
        ~BlackoutRenderer() override;
        void drawSelf() override;
        void update(float frameTime) override;

        Blackout* mBlackout = nullptr;  // owned
    };

    TutorialWindow(bool arrowShown, bool closeButtonShown, TutorialWindowListener* listener);
    ~TutorialWindow() override;
    TutorialWindow(const TutorialWindow&) = delete;
    TutorialWindow& operator=(const TutorialWindow&) = delete;

    void show(const QV::Vector2<float>& target);
    // Points the window (and places its blackout) again.
    void setTarget(const QV::Vector2<float>& target);
    // Starts hiding, unless it is hiding already.
    void close();
    void setText(const std::string& textId);
    // The window's renderer owns the blackout from now on.
    void setBlackout(Blackout* blackout);
    void setAuraVisible(bool visible);
    void onCloseClicked();
    void onMarkerFinished(AE::Marker* marker) override;

    bool isHiding() const;
    bool isShowing() const;

    BlackoutRenderer* mRenderer = nullptr;  // owned by the widget tree
    std::string mArrowMarkers[2] = {"90", "90"};  // landscape, portrait
    QV::UIWidget* mRoot = nullptr;
    AE::ISceneNode* mScene = nullptr;
    uint8_t mArrowShown = 0;
    uint8_t mCloseButtonShown = 0;
    TutorialWindowListener* mListener = nullptr;  // not owned
    QV::Vector2<float> mTarget;
    AE::Marker* mShowMarker = nullptr;
    AE::Marker* mHideMarker = nullptr;

private:
    void playIfPresent(const std::string& name);
};
