#pragma once

#include "singleton.h"

namespace QV {

// Placeholder until the configuration lands.
class ConfigManager : public Singleton<ConfigManager> {
public:
    ConfigManager() = default;
    void load() {}
    void setVertexFormat(int code) { mVertexFormat = code; }
    int vertexFormat() const { return mVertexFormat; }

private:
    int mVertexFormat = 0;
};

}  // namespace QV
