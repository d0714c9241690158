#pragma once

#include <string>

namespace QV {

// The debug font; placeholder until bitmap fonts land.
class Font {
public:
    bool load(const std::string& resourceName) {
        mResourceName = resourceName;
        return true;
    }
    void release() {}
    void drawText(const std::string& /*text*/, float /*x*/, float /*y*/, float /*scale*/, float /*r*/,
                  float /*g*/, float /*b*/, float /*a*/) {}

private:
    std::string mResourceName;
};

}  // namespace QV
