#include "log_system.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "format_string.h"
#include "mutex_lock.h"

namespace QV {

const char* const kLogFileName = "QV.log";

LocalClock localClockNow() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return LocalClock{parts.tm_hour, parts.tm_min, parts.tm_sec};
}

void StdoutLogStream::write(const std::string& message) {
    LocalClock c = localClockNow();
    std::printf("%.2i:%.2i:%.2i: %s \n", c.hour, c.minute, c.second, message.c_str());
    // A pipe is fully buffered; without this a crash loses the last lines.
    std::fflush(stdout);
}

FileLogStream::FileLogStream(const std::string& fileName) : mFileName(fileName) {
    if (FILE* f = std::fopen(mFileName.c_str(), "w")) std::fclose(f);
}

void FileLogStream::write(const std::string& message) {
    FILE* f = std::fopen(mFileName.c_str(), "a");
    if (!f) return;
    LocalClock c = localClockNow();
    std::fprintf(f, "%02d:%02d:%02d: ", c.hour, c.minute, c.second);
    std::fwrite(message.data(), 1, message.size(), f);
    std::fputc('\n', f);
    std::fflush(f);
    std::fclose(f);
}

LogSystem::LogSystem() {
    pthread_mutex_init(&mMutex, nullptr);
    mMutexCreated = true;
    MutexLock lock(&mMutex);
    mStreams.push_back(new StdoutLogStream());
    mStreams.push_back(new FileLogStream(kLogFileName));
}

LogSystem::~LogSystem() {
    {
        MutexLock lock(&mMutex);
        for (LogStream*& stream : mStreams) {
            delete stream;
            stream = nullptr;
        }
        mStreams.clear();
    }
    pthread_mutex_destroy(&mMutex);
    mMutexCreated = false;
}

void LogSystem::write(const std::string& message) {
    MutexLock lock(&mMutex);
    for (LogStream* stream : mStreams) stream->write(message);
}

void logLine(const std::string& message) { Singleton<LogSystem>::instance()->write(message); }

void logFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = formatStringV(format, args);
    va_end(args);
    logLine(message);
}

void appendToLogFile(const std::string& text) {
    FILE* f = std::fopen(kLogFileName, "a");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

}  // namespace QV
