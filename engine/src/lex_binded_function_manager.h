#pragma once

#include "singleton.h"

namespace QV {

// Placeholder until command binding lands.
class LexBindedFunctionManager : public Singleton<LexBindedFunctionManager> {
public:
    LexBindedFunctionManager() = default;
};

}  // namespace QV
