#include "board/action.h"

#include <cstdlib>

#include "board/add_behavior_action.h"
#include "board/behavior_kind.h"
#include "board/boom_action.h"
#include "board/color_destroyer_action.h"
#include "board/destroy_if_floor_is_reached.h"
#include "board/shake_back_field.h"
#include "board/wave_action.h"

namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The text after the first ':'; false without a colon (the text has no argument).
bool argument(const std::string& text, std::string* out) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    *out = text.substr(colon + 1);
    return true;
}

struct WaveText {
    const char* text;
    int mask;
    int super;
};

const WaveText kWaves[] = {
    {"WaveHor", WaveAction::kLeft | WaveAction::kRight, 0},
    {"WaveVer", WaveAction::kUp | WaveAction::kDown, 0},
    {"Cross", 15, 0},
    {"WaveDiagonal", WaveAction::kDiagonals, 0},
    {"Star", 31, 0},
    {"WaveFull", 31, 0},
    {"SuperWaveHor", WaveAction::kLeft | WaveAction::kRight, 1},
    {"SuperWaveVer", WaveAction::kUp | WaveAction::kDown, 1},
    {"SuperCross", 15, 1},
    {"SuperStar", 31, 1},
};

}  // namespace

// Texts with an argument need their colon: without one they name no action.
Action* Action::create(const std::string& text) {
    std::string arg;
    if (text == "Boom") return new BoomAction(0);
    if (startsWith(text, "AddBehavior")) {
        return argument(text, &arg) ? new AddBehavior(behaviorKindFromName(arg)) : nullptr;
    }
    if (startsWith(text, "DestroyTimer")) {
        return argument(text, &arg) ? new DestroyTimerAction(static_cast<float>(std::strtod(arg.c_str(), nullptr)))
                                    : nullptr;
    }
    for (const WaveText& wave : kWaves) {
        if (text == wave.text) return new WaveAction(wave.mask, wave.super);
    }
    if (text == "SuperBoom") return new BoomAction(1);
    if (text == "CanNotBeDestoyed") return new CanNotBeDestoyed();
    if (text == "DestroyIfFloorIsReached") return new DestroyIfFloorIsReached();
    if (text == "ColorDestroyer") return new ColorDestroyer();
    if (startsWith(text, "ShakeField")) return argument(text, &arg) ? new ShakeBackField(arg) : nullptr;
    return nullptr;
}

bool DestroyTimerAction::execute(GameField*, Chip*, float dt) {
    timeLeft -= dt;
    return timeLeft > 0.0f;
}
