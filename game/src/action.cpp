#include "action.h"

#include <cstdlib>

namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The number after the first ':'; 0 without a colon.
float argumentNumber(const std::string& text) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) return 0.0f;
    return static_cast<float>(std::strtod(text.c_str() + colon + 1, nullptr));
}

}  // namespace

Action* Action::create(const std::string& text) {
    if (startsWith(text, "DestroyTimer")) return new DestroyTimerAction(argumentNumber(text));
    if (text == "CanNotBeDestoyed") return new CanNotBeDestoyed();
    return nullptr;
}

bool DestroyTimerAction::execute(GameField*, Chip*, float dt) {
    timeLeft -= dt;
    return timeLeft > 0.0f;
}
