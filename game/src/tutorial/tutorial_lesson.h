#pragma once

#include <cstdint>

class GameEvent;

// Told by a lesson when it reaches the done state.
class TutorialLessonListener {
public:
    virtual ~TutorialLessonListener() = default;
    virtual void onLessonCompleted() = 0;
};

// One step of a tutorial sequence. The sequence drives it only through these
// operations; the lesson kinds fill them in.
class TutorialLesson {
public:
    enum State : int32_t { Waiting = 0, Active = 1, Done = 2 };

    explicit TutorialLesson(TutorialLessonListener* listener) : mListener(listener) {}
    virtual ~TutorialLesson() = default;
    TutorialLesson(const TutorialLesson&) = delete;
    TutorialLesson& operator=(const TutorialLesson&) = delete;

    // Stores the state; Done also tells the listener.
    virtual void setState(int32_t state) {
        mState = state;
        if (state == Done && mListener) mListener->onLessonCompleted();
    }
    // The event is borrowed for the call only.
    virtual void onGameEvent(GameEvent* event) = 0;
    virtual void update(float /*dt*/) {}
    virtual bool isCellAllowed(int32_t /*column*/, int32_t /*row*/) { return true; }
    virtual void onBecameCurrent() {}
    virtual void reset() {}

    int32_t mState = Waiting;
    TutorialLessonListener* mListener;  // not owned
};
