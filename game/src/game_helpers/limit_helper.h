#pragma once

#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "game_helpers/game_helper.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
class TextSceneNode;
}
namespace QV {
class UIWidget;
}
class GameLevel;
class LimitHelperListener;

// The level's move or time limit: the counter panel beside the board, the
// count-in of a preview card that flies into the panel, spending and the
// listeners. Without the panel's interface or the preview scene (a headless
// run) the same counting runs with nothing to show.
class LimitHelper : public GameHelper, public AE::MarkerListener {
public:
    enum State { kAnnounced = 0, kFlying = 1, kCounting = 2 };
    static constexpr float kFlightTime = 0.41f;

    LimitHelper(const std::string& uiResource, const std::string& uiTable, float countDuration);
    ~LimitHelper() override;

    void addListener(LimitHelperListener* listener);
    virtual bool isExhausted() const = 0;
    virtual void onMoveMade() {}
    virtual void takeRemaining() = 0;
    void setPosition(const QV::Vector2<float>& point);
    virtual void showInitialCount() = 0;
    virtual bool isRunningLow() const = 0;
    // The panel's buy button; the purchase window is not built yet.
    virtual void showBuyWindow();
    void render() override;
    void onMarkerFinished(AE::Marker* marker) override;

    // Tells the listeners that the time limit runs (the mode sets it running).
    void notifyStarted();
    int state() const { return mState; }
    QV::UIWidget* panel() const { return mRoot; }

protected:
    // Starts the count-in of an amount (the preview shows the text).
    void announce(const std::string& amountText);
    // The flight step of update; true when the amount arrived this frame.
    bool stepFlight(float dt);
    // Adds the pending amount to the counter.
    virtual void arrive() = 0;
    void playPanelMarker(const char* name, bool logMissing);
    // The panel's title and the preview's icon and caption of this kind of limit.
    void label(const char* titleId, const char* iconSprite, const char* captionId);
    void showCounter(const std::string& text);
    void tellReady();
    void tellChanged(int oldValue, int newValue);
    void tellReached();
    void pauseBoard(bool paused);
    static GameLevel* level();

    QV::UIWidget* mRoot = nullptr;            // owned by the UI manager
    AE::ISceneNode* mPanelScene = nullptr;    // owned by the panel's scene widget
    AE::TextSceneNode* mCounterText = nullptr;
    std::vector<LimitHelperListener*> mListeners;  // not owned
    int mState = kCounting;
    float mCountDuration = 0.6f;
    float mCountTimer = 0.0f;
    AE::ISceneNode* mPreview = nullptr;  // owned
    AE::ISceneNode* mCentreNode = nullptr;
    QV::Vector2<float> mHome;
    float mFlightTimer = 0.0f;
    int mFlightSound = 0;
    bool mRaisedDialogCount = false;
};
