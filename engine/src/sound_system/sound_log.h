#pragma once

#include <string>

namespace QV {

// Sound never stops the program: lines go to the log when it exists and are
// dropped otherwise (tools and fuzzers run without one).
void soundLog(const std::string& message);
void soundLogFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace QV
