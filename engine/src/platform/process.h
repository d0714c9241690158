#pragma once

namespace QV::Platform {

// Ends the process at once with the given code (no shut-down, no exit
// handlers); standard streams are flushed first so no log line is lost.
[[noreturn]] void exitProcessNow(int code);

}  // namespace QV::Platform
