#include "report_assert.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "format_string.h"
#include "log_system.h"
#include "platform/message_box.h"
#include "platform/process.h"

namespace QV {

namespace {
FatalReportHandler& fatalReportHandler() {
    static FatalReportHandler handler;
    return handler;
}
}  // namespace

FatalReportHandler setFatalReportHandler(FatalReportHandler handler) {
    FatalReportHandler previous = std::move(fatalReportHandler());
    fatalReportHandler() = std::move(handler);
    return previous;
}

std::string buildAssertReport(const std::string& name, const std::string& description,
                              const std::string& file, int line) {
    std::string text;
    text += "Name:\n  ";
    text += name;
    text += "\n\nDescription:\n  ";
    text += description;
    text += "\n\nFile:\n  ";
    text += file;
    text += "\n\nLine:\n  ";
    text += intToString(line);
    return text;
}

void reportAssert(const std::string& name, const std::string& description,
                  const std::string& file, int line) {
    if (fatalReportHandler()) fatalReportHandler()(description, file, line);
    std::string text = buildAssertReport(name, description, file, line);
    std::string message = formatString("ERROR: Assert occured\n %s", text.c_str());
    if (LogSystem* log = Singleton<LogSystem>::instancePointer()) {
        log->write(message);
    } else {
        // No log (early start-up or late shut-down): going through the
        // accessor would report again and recurse, so write directly.
        LocalClock c = localClockNow();
        std::fprintf(stderr, "%.2i:%.2i:%.2i: %s \n", c.hour, c.minute, c.second, message.c_str());
        appendToLogFile(formatString("%02d:%02d:%02d: ", c.hour, c.minute, c.second) + message + "\n");
    }
    Platform::MessageBoxAnswer answer =
        Platform::showOkCancelBox("An error was occured", text, Platform::MessageBoxIcon::Error);
    if (answer == Platform::MessageBoxAnswer::Cancel) {
        Platform::exitProcessNow(-1);
    }
}

void breakpointTrap() {
    std::fflush(stdout);
    std::raise(SIGTRAP);
    // Only reached when the trap was ignored: a fatal error never continues.
    std::abort();
}

}  // namespace QV
