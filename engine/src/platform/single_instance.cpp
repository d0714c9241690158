#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <thread>

namespace QV::Platform {

namespace {

constexpr char kRaiseRequest[] = "raise\n";

}  // namespace

SingleInstance::~SingleInstance() {
    if (mListenFd >= 0) {
        close(mListenFd);
        if (!mSocketPath.empty()) unlink(mSocketPath.c_str());
    }
    // The lock file stays; its lock goes with the descriptor.
    if (mLockFd >= 0) close(mLockFd);
}

bool SingleInstance::socketAddress(void* storage, unsigned* length) const {
    auto* address = static_cast<sockaddr_un*>(storage);
    std::memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    if (mSocketPath.size() < sizeof(address->sun_path)) {
        std::memcpy(address->sun_path, mSocketPath.c_str(), mSocketPath.size() + 1);
        *length = static_cast<unsigned>(offsetof(sockaddr_un, sun_path) + mSocketPath.size() + 1);
        return true;
    }
    // A folder too deep for a socket path: an abstract name made from the folder instead.
    uint64_t hash = 1469598103934665603ULL;
    for (unsigned char c : mSocketPath) hash = (hash ^ c) * 1099511628211ULL;
    char name[64];
    const int n = std::snprintf(name, sizeof(name), "Brightfold-%016llx", static_cast<unsigned long long>(hash));
    address->sun_path[0] = '\0';
    std::memcpy(address->sun_path + 1, name, static_cast<size_t>(n));
    *length = static_cast<unsigned>(offsetof(sockaddr_un, sun_path) + 1 + n);
    return true;
}

SingleInstance::Result SingleInstance::acquire(const std::string& folder, const std::string& name) {
    mFolder = folder;
    std::string base = folder;
    if (!base.empty() && base.back() != '/') base += '/';
    mLockPath = base + name + ".lock";
    mSocketPath = base + name + ".sock";

    mLockFd = open(mLockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (mLockFd < 0) return Result::NoLock;
    if (flock(mLockFd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        close(mLockFd);
        mLockFd = -1;
        return busy ? Result::Running : Result::NoLock;
    }

    // We hold the lock, so a socket file left there belongs to a copy that died.
    sockaddr_un address;
    unsigned length = 0;
    socketAddress(&address, &length);
    if (address.sun_path[0] != '\0') unlink(mSocketPath.c_str());
    else mSocketPath.clear();  // abstract names leave no file behind
    mListenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (mListenFd >= 0 &&
        (bind(mListenFd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(mListenFd, 4) != 0)) {
        close(mListenFd);
        mListenFd = -1;
    }
    return Result::First;
}

bool SingleInstance::askToRaise(int timeoutMs) const {
    sockaddr_un address;
    unsigned length = 0;
    socketAddress(&address, &length);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0) {
            const ssize_t written = send(fd, kRaiseRequest, sizeof(kRaiseRequest) - 1, MSG_NOSIGNAL);
            close(fd);
            return written == static_cast<ssize_t>(sizeof(kRaiseRequest) - 1);
        }
        close(fd);
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool SingleInstance::takeRaiseRequest() {
    if (mListenFd < 0) return false;
    bool requested = false;
    for (;;) {
        const int fd = accept4(mListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) break;
        // The request is the connection itself; what it carries is only read to be polite.
        char buffer[16];
        (void)recv(fd, buffer, sizeof(buffer), MSG_DONTWAIT);
        close(fd);
        requested = true;
    }
    return requested;
}

}  // namespace QV::Platform
