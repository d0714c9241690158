#pragma once

#include <cstdint>
#include <string>

#include "board/chip_destroy_info.h"

class PlayLevelWindow;

enum class GameEventType : int32_t {
    LevelBegun = 0,
    ChipDestroyed = 1,
    LayoutChanged = 2,
    LevelWindowShown = 3,
    BoosterEvent = 4,
    SkipLesson = 5,  // understood by the lessons; nothing posts it
};

// What the game tells the tutorial. Created with new by its producer and
// always deleted by dispatchTutorialEvent; lessons only borrow it.
class GameEvent {
public:
    explicit GameEvent(GameEventType type) : mType(type) {}
    virtual ~GameEvent() = default;
    GameEvent(const GameEvent&) = delete;
    GameEvent& operator=(const GameEvent&) = delete;

    GameEventType mType;
    bool mConsumed = false;  // stops the offer to the sequences after the consumer's
    bool mResult = true;     // what the dispatch returns
};

// A level has begun; also the layout of SkipLesson, which carries a level name too.
class BeginLevelGameEvent : public GameEvent {
public:
    explicit BeginLevelGameEvent(const std::string& levelName,
                                 GameEventType type = GameEventType::LevelBegun)
        : GameEvent(type), mLevelName(levelName) {}

    std::string mLevelName;  // the running level script's resource name
};

class DestroyChipGameEvent : public GameEvent {
public:
    explicit DestroyChipGameEvent(const ChipDestroyInfo& info)
        : GameEvent(GameEventType::ChipDestroyed), mInfo(info) {}

    ChipDestroyInfo mInfo;  // a full copy
};

class PlayLevelWindowGameEvent : public GameEvent {
public:
    explicit PlayLevelWindowGameEvent(PlayLevelWindow* window)
        : GameEvent(GameEventType::LevelWindowShown), mWindow(window) {}

    PlayLevelWindow* mWindow;  // not owned
};

enum class BonusEventAction : int32_t {
    PressedWithoutStock = 0,
    Bought = 1,
    PressedWithStock = 2,
};

class BonusEvent : public GameEvent {
public:
    BonusEvent(int32_t bonusKind, BonusEventAction action)
        : GameEvent(GameEventType::BoosterEvent), mBonusKind(bonusKind), mAction(action) {}

    int32_t mBonusKind;  // 0 comet, 1 light, 2 arrow, 3 detonate
    BonusEventAction mAction;
};
