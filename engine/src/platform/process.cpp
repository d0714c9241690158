#include "platform/process.h"

#include <unistd.h>

#include <cstdio>

namespace QV::Platform {

void exitProcessNow(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(code & 0xFF);
}

}  // namespace QV::Platform
