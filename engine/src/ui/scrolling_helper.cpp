#include "ui/scrolling_helper.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "animationeditor/marker.h"
#include "animationeditor/node_timeline.h"
#include "animationeditor/scene_node.h"
#include "function.h"
#include "log_system.h"
#include "report_assert.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_scene_list_item.h"

namespace QV {

namespace {

const char* const kStateNames[] = {"regular", "select", "pressed"};

bool hits(AE::ISceneNode* node, const Vector2<float>& point) {
    return node && node->hitTest(int(point.x), int(point.y), false);
}

void playTransition(AE::ISceneNode* node, int32_t from, int32_t to, AE::MarkerScope scope) {
    node->resetMarkers(scope, AE::MarkerReplay::No);
    if (AE::Marker* marker = node->getMarker(std::string(kStateNames[from]) + ">" + kStateNames[to])) marker->play(true);
}

[[noreturn]] void stripFatal(const char* message) {
    reportAssert("QV", message, "ui/strip_scrolling_helper", __LINE__);
    breakpointTrap();
}

// Runs a book button's action after the input delivery.
class BookButtonAction : public IFunction {
public:
    BookButtonAction(BookScrollingHelper* book, std::string name) : mBook(book), mName(std::move(name)) {}
    void call() override { mBook->buttonAction(mName); }

private:
    BookScrollingHelper* mBook;
    std::string mName;
};

}  // namespace

StripScrollingHelper::StripScrollingHelper(UISceneList* list, AE::ISceneNode* scene) : ScrollingHelper(list) {
    if (AE::ISceneNode* barNode = scene->findNode("#scroll_bar")) {
        ScrollBar* bar = new ScrollBar();
        mScrollBar = bar;
        bar->node = barNode;
        barNode->setEnabled(true);
        for (AE::Marker* marker : barNode->mMarkers) {
            if (marker->getName() != "#thumbs") continue;
            for (AE::Marker::Entry* entry : marker->getEntries()) bar->thumbs.push_back({entry->node, entry->recursive});
        }
        const std::vector<int32_t>& keys = barNode->mTimeline->mKeyFrames;
        if (keys.size() < 2 || keys.size() > 4) stripFatal("Progress bar must be contains 2 or 4 key frames!");
        const float frame = barNode->mTimeline->mFrameDuration;
        bar->rangeStart = keys.size() == 2 ? 0.0f : float(keys[1]) * frame;
        bar->rangeEnd = float(keys.back()) * frame;
        if (bar->thumbs.empty()) stripFatal("Progress bar does not contain any thumbs!");
        for (const ScrollBar::Thumb& thumb : bar->thumbs) thumb.node->setTime(bar->rangeStart, thumb.recursive);
        AE::ISceneNode* thumb = barNode->findNode("#thumb");
        if (thumb && thumb->mTimeline->mKeyFrames.size() >= 2) {
            AE::NodeTimeline* timeline = thumb->mTimeline;
            const float x0 = timeline->getFloatKey("posX", 0).value, x1 = timeline->getFloatKey("posX", 1).value;
            const float y0 = timeline->getFloatKey("posY", 0).value, y1 = timeline->getFloatKey("posY", 1).value;
            bar->thumbAlongX = std::fabs(x1 - x0) > std::fabs(y1 - y0);
            bar->thumbBase = bar->thumbAlongX ? x0 : y0;
            bar->thumbTravel = bar->thumbAlongX ? std::fabs(x1 - x0) : std::fabs(y1 - y0);
            bar->thumb = thumb;
            if (AE::Marker* regular = thumb->getMarker("regular")) regular->play(true);
        } else if (Singleton<LogSystem>::instancePointer()) {
            // The thumbs still follow the content; only dragging the bar is off.
            logLine("ERROR: Scroll bar without a draggable #thumb (a node with two key frames)");
        }
    }
    if (AE::ISceneNode* pageBar = scene->findNode("#page_bar")) pageBar->setEnabled(false);
}

StripScrollingHelper::~StripScrollingHelper() { delete mScrollBar; }

void StripScrollingHelper::limit(Vector2<float> position) {
    UISceneList* l = mList;
    float& a = l->along(position);
    a = std::clamp(a, l->mScrollLimit - l->mOutside, l->mOutside);
    l->cancelCorrection();
    l->setListPosition(position);
}

void StripScrollingHelper::constrain() {
    UISceneList* l = mList;
    Vector2<float> position = l->listPosition();
    const float a = std::clamp(l->along(position), l->mScrollLimit - l->mOutside, l->mOutside);
    position = l->mVertical ? Vector2<float>(0.0f, a) : Vector2<float>(a, 0.0f);
    l->setListPosition(position);
}

void StripScrollingHelper::update(float dt) {
    UISceneList* l = mList;
    UIPCController* pc = l->controller();
    if (!pc || !l->canScroll()) return;
    const Vector2<float> pointer = pc->mPointerPosition;
    const bool down = pc->mLeftButtonDown;
    if (l->mScrolling & UISceneList::kDragScrolling) {
        if (!mBusy) {
            if (down && l->mPointerScrolling) {
                mLastPointer = pointer;
                mBusy = hits(l->getMaskNode(), pointer);
            }
        } else if (mScrollBar && mScrollBar->thumbState != 0) {
            // The thumb owns the drag.
        } else if (down) {
            limit(l->listPosition() + (pointer - mLastPointer));
            constrain();
            mLastPointer = pointer;
        } else {
            // A frame of no time gives no speed (no division by zero).
            mVelocity = dt > 0.0f ? (mLastPointer - pointer) * (0.78f / dt) : Vector2<float>();
            mBusy = false;
            mInertia = mVelocity != Vector2<float>();
        }
    }
    if (mScrollBar) {
        const float a = l->along(l->listPosition());
        const float S = mScrollBar->rangeStart, E = mScrollBar->rangeEnd;
        const float L = l->mScrollLimit, o = l->mOutside;
        float t;
        if (a > 0.0f) {
            t = o > 0.0f ? S * (1.0f - a / o) : S;
        } else if (a < L) {
            t = o > 0.0f ? E - S * (1.0f - (L - a) / o) : E - S;
        } else {
            // At rest exactly at 0 with L = 0: the start of the range.
            t = L < 0.0f ? S + (E - 2.0f * S) * a / L : S;
        }
        for (const ScrollBar::Thumb& thumb : mScrollBar->thumbs) thumb.node->setTime(t, thumb.recursive);
        if (!(mBusy && mScrollBar->thumbState == 0)) handleThumb(pointer, down);
    }
    if (mInertia) {
        const Vector2<float> p = l->listPosition() - mVelocity * dt;
        mVelocity = mVelocity - mVelocity * (dt * 4.33f);
        limit(p);
        constrain();
        if (std::fabs(mVelocity.x) < 60.0f) mVelocity.x = 0.0f;
        if (std::fabs(mVelocity.y) < 60.0f) mVelocity.y = 0.0f;
        const float low = l->mScrollLimit - l->mOutside, high = l->mOutside;
        const bool outside = p.x < low || p.x > high || p.y < low || p.y > high;
        mInertia = mVelocity != Vector2<float>() && !outside;
    }
}

void StripScrollingHelper::setThumbState(int32_t state) {
    mBusy = state == 2;
    playTransition(mScrollBar->thumb, mScrollBar->thumbState, state, AE::MarkerScope::NodeOnly);
    mScrollBar->thumbState = state;
}

void StripScrollingHelper::handleThumb(const Vector2<float>& pointer, bool down) {
    ScrollBar* bar = mScrollBar;
    if (!bar->thumb) return;
    const bool on = hits(bar->thumb, pointer);
    switch (bar->thumbState) {
    case 0:
        if (on) setThumbState(1);
        break;
    case 1:
        if (down) {
            bar->thumbDragPoint = pointer;
            setThumbState(2);
        } else if (!on) {
            setThumbState(0);
        }
        break;
    default:
        if (!down) {
            setThumbState(on ? 1 : 0);
        } else if (bar->thumbTravel > 0.0f) {
            UISceneList* l = mList;
            const float current = bar->thumbAlongX ? bar->thumb->getPosition().x : bar->thumb->getPosition().y;
            const float moved = l->along(pointer - bar->thumbDragPoint);
            const float r = std::clamp((current - bar->thumbBase + moved) / bar->thumbTravel, 0.0f, 1.0f);
            Vector2<float> position = l->listPosition();
            l->along(position) = l->mScrollLimit * r;
            limit(position);
            bar->thumbDragPoint = pointer;
        }
        break;
    }
}

void StripScrollingHelper::onWheel(bool up) {
    UISceneList* l = mList;
    UIPCController* pc = l->controller();
    if (mBusy || !(l->mScrolling & UISceneList::kWheelScrolling) || !pc) return;
    const Vector2<float> pointer = pc->mPointerPosition;
    if (!hits(l->getMaskNode(), pointer) && !(mScrollBar && hits(mScrollBar->node, pointer))) return;
    Vector2<float> position = l->listPosition();
    l->along(position) += up ? 24.0f : -24.0f;
    limit(position);
    constrain();
}

void StripScrollingHelper::scrollTo(float offset) {
    UISceneList* l = mList;
    const float a = std::clamp(-offset, l->mScrollLimit, 0.0f);
    l->cancelCorrection();
    l->setListPosition(l->mVertical ? Vector2<float>(0.0f, a) : Vector2<float>(a, 0.0f));
}

BookScrollingHelper::BookScrollingHelper(UISceneList* list, AE::ISceneNode* scene) : ScrollingHelper(list) {
    mPageSize = list->along(list->mArea);
    if ((mPageBar = scene->findNode("#page_bar"))) {
        for (int32_t page = 1;; ++page) {
            char name[32];
            std::snprintf(name, sizeof name, "#page%d", page);
            AE::ISceneNode* dot = mPageBar->findNode(name);
            if (!dot) break;
            mDots.push_back({dot, 0, page});
        }
        mPageBar->setEnabled(true);
        showPage(0);
    }
    if (AE::ISceneNode* bar = scene->findNode("#scroll_bar")) bar->setEnabled(false);
    for (const char* name : {"#btn_next", "#btn_prev", "#btn_begin", "#btn_end"}) {
        if (AE::ISceneNode* node = scene->findNode(name)) {
            node->setEnabled(true);
            mButtons.push_back({node, name, 0});
        }
    }
    if (AE::ISceneNode* listNode = list->getListNode()) {
        for (AE::Marker* marker : listNode->mMarkers) {
            const std::string& name = marker->getName();
            if (name.rfind("#listTime:", 0) == 0) mListTime = parseDecimal(name.substr(10, 31));
            if (name.rfind("#toScrolling:", 0) == 0) mToScrolling = parseDecimal(name.substr(13, 31));
        }
    }
}

float BookScrollingHelper::progress() const {
    return mPageSize > 0.0f ? -mList->along(mList->listPosition()) / mPageSize : 0.0f;
}

int32_t BookScrollingHelper::lastPage() const {
    return mPageSize > 0.0f ? int32_t(std::trunc(0.5f - mList->mScrollLimit / mPageSize)) : 0;
}

void BookScrollingHelper::goToPage(float page) {
    mStart = progress();
    const int32_t last = lastPage();
    mTarget = int32_t(std::trunc(page)) >= last ? float(last) : std::max(page, 0.0f);
    mTimeLeft = std::fabs(mStart - mTarget) * mListTime;
}

void BookScrollingHelper::nextPage() { goToPage(std::trunc(1.0f - mToScrolling + progress()) + 1.0f); }

void BookScrollingHelper::previousPage() {
    goToPage(std::max(std::trunc(1.0f - mToScrolling + progress()) - 1.0f, 0.0f));
}

void BookScrollingHelper::buttonAction(const std::string& name) {
    if (name == "#btn_next") nextPage();
    if (name == "#btn_prev") previousPage();
    if (name == "#btn_begin") goToPage(0.0f);
    if (name == "#btn_end") goToPage(float(lastPage()));
}

void BookScrollingHelper::setButtonState(Button& button, int32_t state) {
    if (state == button.state) return;
    playTransition(button.node, button.state, state, AE::MarkerScope::Subtree);
    button.state = state;
    if (state == 2) {
        // On press; run after the delivery like every other reaction to input.
        if (UIManager* ui = Singleton<UIManager>::instancePointer()) ui->queueCall(mList, new BookButtonAction(this, button.name));
    }
}

void BookScrollingHelper::setDotState(Dot& dot, int32_t state) {
    if (state == dot.state) return;
    playTransition(dot.node, dot.state, state, AE::MarkerScope::Subtree);
    dot.state = state;
}

void BookScrollingHelper::showPage(int32_t page) {
    if (!mPageBar || page == mCurrentPage) return;
    char name[32];
    std::snprintf(name, sizeof name, "#page%d", page + 1);
    if (AE::Marker* marker = mPageBar->findMarker(name)) marker->play(true);
    mCurrentPage = page;
}

void BookScrollingHelper::update(float dt) {
    UISceneList* l = mList;
    UIPCController* pc = l->controller();
    if (!pc) return;
    const Vector2<float> pointer = pc->mPointerPosition;
    const bool down = pc->mLeftButtonDown;
    for (Button& button : mButtons) {
        if (hits(button.node, pointer)) {
            setButtonState(button, down ? 2 : 1);
            break;
        }
        if (!down) setButtonState(button, 0);
    }
    if (!l->canScroll()) return;
    if (l->mScrolling & UISceneList::kDragScrolling) {
        if (!mBusy) {
            if (down && l->mPointerScrolling) {
                mDragStartPointer = pc->mPressPoint;
                mDragStartPosition = l->listPosition();
                mBusy = hits(l->getMaskNode(), mDragStartPointer);
            }
        } else if (down) {
            const float a = std::clamp(l->along(mDragStartPosition) + l->along(pointer - mDragStartPointer),
                                       l->mScrollLimit - l->mOutside, l->mOutside);
            l->cancelCorrection();
            l->setListPosition(l->mVertical ? Vector2<float>(0.0f, a) : Vector2<float>(a, 0.0f));
        } else {
            mStart = progress();
            // Snapped to a page that exists.
            mTarget = std::clamp(std::trunc(mStart + 1.0f - mToScrolling), 0.0f, float(lastPage()));
            mBusy = false;
            mTimeLeft = mListTime;
        }
    }
    if (!mBusy && mTimeLeft > 0.0f) {
        mTimeLeft = std::max(0.0f, mTimeLeft - dt);
        const float span = std::max(std::fabs(mTarget - mStart), 1.0f) * mListTime;
        const float k = span > 0.0f ? mTimeLeft / span : 0.0f;
        Vector2<float> position = l->listPosition();
        l->along(position) = -mPageSize * (mTarget - k * (mTarget - mStart));
        l->setListPosition(position);
    }
    showPage(int32_t(std::trunc(1.0f - mToScrolling + progress())));
    if (mBusy) return;
    if (mActiveDot) {
        if (hits(mActiveDot->node, pointer)) {
            if (down) {
                setDotState(*mActiveDot, 2);
            } else if (mActiveDot->state == 2) {
                setDotState(*mActiveDot, 1);
                goToPage(float(mActiveDot->page - 1));
            }
        } else if (!down) {
            setDotState(*mActiveDot, 0);
            mActiveDot = nullptr;
        }
    } else {
        for (Dot& dot : mDots) {
            if (!hits(dot.node, pointer)) continue;
            mActiveDot = &dot;
            setDotState(dot, 1);
            break;
        }
    }
}

void BookScrollingHelper::onWheel(bool up) {
    UISceneList* l = mList;
    if (mBusy || !(l->mScrolling & UISceneList::kWheelScrolling) || !l->pointerInMask()) return;
    if (up) {
        nextPage();
    } else {
        previousPage();
    }
}

}  // namespace QV
