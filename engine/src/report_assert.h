#pragma once

#include <functional>
#include <string>

namespace QV {

// A tool may take fatal reports itself instead of the box and trap (the board
// simulator turns them into an error line and goes on); the handler must not
// return, it throws. An empty handler restores the box. Returns the previous one.
using FatalReportHandler = std::function<void(const std::string& description, const std::string& file, int line)>;
FatalReportHandler setFatalReportHandler(FatalReportHandler handler);

// Logs and shows a fatal report. Cancel ends the process with -1 at once;
// OK returns, and the caller must then stop at a breakpoint trap.
void reportAssert(const std::string& name, const std::string& description,
                  const std::string& file, int line);

// The report text shown in the box and logged.
std::string buildAssertReport(const std::string& name, const std::string& description,
                              const std::string& file, int line);

// Raises the breakpoint trap that the crash handler reports; never returns.
[[noreturn]] void breakpointTrap();

}  // namespace QV

// The one fatal-error path: report, then trap.
#define QV_FATAL(description)                                          \
    do {                                                               \
        ::QV::reportAssert("QV", (description), __FILE__, __LINE__);   \
        ::QV::breakpointTrap();                                        \
    } while (0)

#define QV_FATAL_IF(condition, description) \
    do {                                    \
        if (condition) QV_FATAL(description); \
    } while (0)
