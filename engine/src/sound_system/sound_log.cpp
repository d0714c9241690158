#include "sound_log.h"

#include <cstdarg>

#include "format_string.h"
#include "log_system.h"

namespace QV {

void soundLog(const std::string& message) {
    if (LogSystem* log = Singleton<LogSystem>::instancePointer()) log->write(message);
}

void soundLogFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = formatStringV(format, args);
    va_end(args);
    soundLog(message);
}

}  // namespace QV
