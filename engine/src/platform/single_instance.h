#pragma once

#include <string>

namespace QV::Platform {

// One running copy per data folder: a lock file taken before anything else
// starts, and a local socket beside it on which a later copy asks the running
// one to raise its window.
class SingleInstance {
public:
    enum class Result {
        First,    // this copy holds the lock and listens for raise requests
        Running,  // another copy holds the lock
        NoLock,   // the lock could not be made (the folder is not writable); run unguarded
    };

    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes "<folder>/<name>.lock"; the first copy then listens on "<name>.sock" there.
    Result acquire(const std::string& folder, const std::string& name);

    // A later copy: asks the running one to raise its window, trying for up to
    // timeoutMs while the first copy is still starting to listen. True when the
    // request was delivered.
    bool askToRaise(int timeoutMs) const;

    // The first copy, once per frame: true when a raise request arrived since
    // the last call. Never blocks.
    bool takeRaiseRequest();

    const std::string& lockPath() const { return mLockPath; }

private:
    bool socketAddress(void* address, unsigned* length) const;

    std::string mLockPath;
    std::string mSocketPath;
    std::string mFolder;
    int mLockFd = -1;
    int mListenFd = -1;
};

}  // namespace QV::Platform
