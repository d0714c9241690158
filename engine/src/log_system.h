#pragma once

#include <pthread.h>

#include <string>
#include <vector>

#include "singleton.h"

namespace QV {

class LogStream {
public:
    virtual ~LogStream() = default;
    virtual void write(const std::string& message) = 0;
    virtual int kind() const = 0;
};

// "HH:MM:SS: message \n" on standard output.
class StdoutLogStream : public LogStream {
public:
    void write(const std::string& message) override;
    int kind() const override { return 8; }
};

// "HH:MM:SS: message\n" appended to a file that is emptied once at construction
// and opened per message, so every line survives an abrupt end.
class FileLogStream : public LogStream {
public:
    explicit FileLogStream(const std::string& fileName);
    void write(const std::string& message) override;
    int kind() const override { return 1; }
    const std::string& fileName() const { return mFileName; }

private:
    std::string mFileName;
};

class LogSystem : public Singleton<LogSystem> {
public:
    LogSystem();
    ~LogSystem() override;

    void write(const std::string& message);

    pthread_mutex_t* mutex() { return &mMutex; }
    std::vector<LogStream*>& streams() { return mStreams; }

private:
    std::vector<LogStream*> mStreams;
    pthread_mutex_t mMutex;
    bool mMutexCreated = false;
};

// The log file every run writes.
extern const char* const kLogFileName;

// Writes a message through the log (fatal when the log does not exist).
void logLine(const std::string& message);
void logFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends text to "QV.log" directly, without a time prefix (memory report, dumps).
void appendToLogFile(const std::string& text);

// "HH:MM:SS" parts of the local time.
struct LocalClock {
    int hour, minute, second;
};
LocalClock localClockNow();

}  // namespace QV
