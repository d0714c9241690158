#pragma once

// Told by a move or time limit what happens to it.
class LimitHelperListener {
public:
    virtual ~LimitHelperListener() = default;
    // The count-in is over: the counter shows the level's moves or time.
    virtual void onLimitReady() {}
    // The moves or the time have run out.
    virtual void onLimitReached() {}
    // Moves, or whole seconds, went from oldValue to newValue.
    virtual void onLimitChanged(int oldValue, int newValue) { (void)oldValue, (void)newValue; }
    // The time limit starts (or keeps) running.
    virtual void onLimitStarted() {}
};
