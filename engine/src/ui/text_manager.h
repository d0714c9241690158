#pragma once

#include <string>

#include "singleton.h"

namespace QV {

// Placeholder until localized text lands: every id is unknown.
class TextManager : public Singleton<TextManager> {
public:
    TextManager() = default;
    void load() {}
    std::u16string translate(const std::string& /*id*/) const { return u"!ERROR!"; }
};

}  // namespace QV
