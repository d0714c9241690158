#pragma once

#include <string>

class Chip;
class GameField;

// A verb of the chip model, written in prototype data as a short text. In a
// destroy list false keeps the layer; in an idle list false destroys the chip.
class Action {
public:
    virtual ~Action() = default;
    virtual bool execute(GameField* field, Chip* chip, float dt) = 0;
    virtual Action* clone() const = 0;

    // A new action for the text, or null when the text names none.
    static Action* create(const std::string& text);
};

// Counts down; true while time is left.
class DestroyTimerAction : public Action {
public:
    explicit DestroyTimerAction(float timeLeft) : timeLeft(timeLeft) {}
    bool execute(GameField* field, Chip* chip, float dt) override;
    Action* clone() const override { return new DestroyTimerAction(timeLeft); }
    float timeLeft;
};

// Refuses: the layer stays unless forced off.
class CanNotBeDestoyed : public Action {
public:
    bool execute(GameField*, Chip*, float) override { return false; }
    Action* clone() const override { return new CanNotBeDestoyed(); }
};
