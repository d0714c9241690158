#pragma once

#include <string>
#include <vector>

#include "vector2.h"

namespace AE {
class ISceneNode;
}

namespace QV {

class UISceneList;

// Moves a scene list's "#list" node: continuously (strip) or page by page (book).
class ScrollingHelper {
public:
    explicit ScrollingHelper(UISceneList* list) : mList(list) {}
    virtual ~ScrollingHelper() = default;
    ScrollingHelper(const ScrollingHelper&) = delete;
    ScrollingHelper& operator=(const ScrollingHelper&) = delete;

    virtual void update(float frameTime) = 0;
    virtual void onWheel(bool) {}
    virtual void scrollTo(float) {}
    bool isBusy() const { return mBusy; }

    UISceneList* mList;
    bool mBusy = false;
};

// Drag, inertia, wheel steps of 24 units and an optional scroll bar whose
// thumbs follow the content and whose "#thumb" can be dragged.
class StripScrollingHelper : public ScrollingHelper {
public:
    struct ScrollBar {
        struct Thumb {
            AE::ISceneNode* node;
            bool recursive;
        };
        AE::ISceneNode* node = nullptr;
        std::vector<Thumb> thumbs;
        float rangeStart = 0.0f;
        float rangeEnd = 0.0f;
        AE::ISceneNode* thumb = nullptr;
        float thumbBase = 0.0f;
        float thumbTravel = 0.0f;
        bool thumbAlongX = false;
        Vector2<float> thumbDragPoint;
        int32_t thumbState = 0;
    };

    StripScrollingHelper(UISceneList* list, AE::ISceneNode* scene);
    ~StripScrollingHelper() override;

    void update(float frameTime) override;
    void onWheel(bool up) override;
    void scrollTo(float offset) override;

    const Vector2<float>& getVelocity() const { return mVelocity; }
    bool hasInertia() const { return mInertia; }
    ScrollBar* getScrollBar() const { return mScrollBar; }

    ScrollBar* mScrollBar = nullptr;
    Vector2<float> mLastPointer;
    Vector2<float> mVelocity;
    bool mInertia = false;

private:
    void limit(Vector2<float> position);
    void constrain();
    void handleThumb(const Vector2<float>& pointer, bool down);
    void setThumbState(int32_t state);
};

// Pages of the list's area: a drag that snaps, next/previous/first/last
// buttons, clickable page dots and a page indicator.
class BookScrollingHelper : public ScrollingHelper {
public:
    struct Button {
        AE::ISceneNode* node;
        std::string name;
        int32_t state = 0;
    };
    struct Dot {
        AE::ISceneNode* node;
        int32_t state = 0;
        int32_t page = 1;
    };

    BookScrollingHelper(UISceneList* list, AE::ISceneNode* scene);

    void update(float frameTime) override;
    void onWheel(bool up) override;

    float progress() const;
    int32_t lastPage() const;
    void goToPage(float page);
    void nextPage();
    void previousPage();
    // What a button does when it is pressed ("#btn_next", "#btn_prev", "#btn_begin", "#btn_end").
    void buttonAction(const std::string& name);
    int32_t getCurrentPage() const { return mCurrentPage; }
    float getTarget() const { return mTarget; }
    float getTimeLeft() const { return mTimeLeft; }

    Vector2<float> mDragStartPointer;
    Vector2<float> mDragStartPosition;
    float mPageSize = 0.0f;
    float mToScrolling = 0.45f;
    float mListTime = 0.18f;
    float mTimeLeft = 0.0f;
    float mStart = 0.0f;
    float mTarget = 0.0f;
    AE::ISceneNode* mPageBar = nullptr;
    int32_t mCurrentPage = -1;
    Dot* mActiveDot = nullptr;
    std::vector<Dot> mDots;
    std::vector<Button> mButtons;

private:
    void setButtonState(Button& button, int32_t state);
    void setDotState(Dot& dot, int32_t state);
    void showPage(int32_t page);
};

}  // namespace QV
