#pragma once

#include "singleton.h"

namespace QV {

// Placeholder until the user interface lands: no widgets to update.
class UIManager : public Singleton<UIManager> {
public:
    UIManager() = default;
    void update() {}
};

}  // namespace QV
