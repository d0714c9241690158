#pragma once

#include <cstdint>
#include <string>

#include "tutorial/tutorial_lesson.h"
#include "tutorial/tutorial_window_listener.h"
#include "vector2.h"

namespace QV {
class LuaScript2;
}
class TutorialWindow;

// The booster lesson ("BonusLesson"): on the first level where a booster is
// unlocked and the player owns none, it points at the booster's button, hands
// out the booster's price once, lets the player take the booster as a free
// offer and then points at the button again until the booster is used.
class BonusTutorialLesson : public TutorialLesson, public TutorialWindowListener {
public:
    enum Step : int32_t { FirstWindow = 0, PurchaseOpen = 1, SecondWindow = 2, Finished = 3 };

    BonusTutorialLesson(QV::LuaScript2& data, TutorialLessonListener* listener);
    ~BonusTutorialLesson() override;

    void setState(int32_t state) override;
    void onGameEvent(GameEvent* event) override;
    bool isCellAllowed(int32_t column, int32_t row) override;
    void onWindowClosed() override;
    void reposition();

    // "MoneyHasBeenIssued:<name>" of the lesson's booster.
    std::string grantKey() const;
    // The booster's price, handed out once per profile.
    int32_t grantAmount() const;

    static TutorialLesson* create(QV::LuaScript2& data, TutorialLessonListener* listener);

    int32_t mBonusKind = -1;  // 0 comet, 1 light, 2 arrow, 3 detonate; -1 when the data named none
    TutorialWindow* mWindow = nullptr;  // owned
    std::string mTexts[2];
    std::string mLevel;
    std::string mFirstArrowMarkers[2] = {"90", "90"};
    std::string mSecondArrowMarkers[2] = {"90", "90"};
    std::string mMaskFile;
    std::string mMaskTable;
    QV::Vector2<float> mMaskOffsetH;
    QV::Vector2<float> mMaskOffsetV;
    int32_t mStep = FirstWindow;

private:
    void openWindow(const std::string arrowMarkers[2], const std::string& text);
    void deleteWindow();
    QV::Vector2<float> buttonPoint() const;
};
