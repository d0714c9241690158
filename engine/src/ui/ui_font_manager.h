#pragma once

#include "singleton.h"

namespace QV {

// Placeholder until fonts land.
class UIFontManager : public Singleton<UIFontManager> {
public:
    UIFontManager() = default;
};

}  // namespace QV
