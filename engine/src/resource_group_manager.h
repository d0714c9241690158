#pragma once

#include <map>
#include <string>
#include <vector>

#include "singleton.h"

namespace QV {

// Created and deleted with the engine; holds nothing anyone uses.
class ResourceGroupManager : public Singleton<ResourceGroupManager> {
public:
    ResourceGroupManager() = default;

private:
    std::vector<std::string> mGroups;
    std::map<std::string, int> mIndex;
};

}  // namespace QV
