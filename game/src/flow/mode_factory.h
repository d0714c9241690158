#pragma once

#include <map>
#include <string>

class Mode;

// A new mode of the named class, or null for a class this game does not know.
// The class name is compared whole and with case. "MainMode" needs the
// parameter "suffix"; an entry without it is a configuration error that ends
// the program. The caller owns the mode.
Mode* createMode(const std::string& className, const std::map<std::string, std::string>& params);
