#pragma once

#include <string>

namespace AE {

// The package of the configured language, "default" without a configuration.
std::string currentLanguagePackage();
// The language's package when it lists the resource, else "default".
std::string packageHolding(const std::string& name);

}  // namespace AE
