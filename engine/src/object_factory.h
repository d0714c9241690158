#pragma once

#include "singleton.h"

namespace QV {

// Engine singleton mapping class names to creators; filled by the particle effects.
class ObjectFactory : public Singleton<ObjectFactory> {
public:
    ObjectFactory() = default;
};

}  // namespace QV
