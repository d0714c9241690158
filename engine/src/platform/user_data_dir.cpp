#include "platform/user_data_dir.h"

#include <errno.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace QV {
namespace Platform {

bool userDataBaseDirectory(std::string& path) {
    path.clear();
    // Relative values are invalid for XDG variables and are ignored.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {
        path = xdg;
        return true;
    }
    const char* home = std::getenv("HOME");
    std::string homeDir;
    if (home && home[0] == '/') {
        homeDir = home;
    } else {
        long size = sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
        struct passwd entry;
        struct passwd* found = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir && found->pw_dir[0] == '/') {
            homeDir = found->pw_dir;
        }
    }
    // A home of "/" alone would put the data at the root of the file system.
    while (homeDir.size() > 1 && homeDir.back() == '/') homeDir.pop_back();
    if (homeDir.empty() || homeDir == "/") return false;
    path = homeDir + "/.local/share";
    return true;
}

bool makeDirectoryLevel(const std::string& path) {
    if (path.empty()) return false;
    if (::mkdir(path.c_str(), 0700) == 0) return true;
    if (errno != EEXIST) return false;
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace Platform
}  // namespace QV
