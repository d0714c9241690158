#include "player/player_data_log.h"

#include <cstdio>

#include "log_system.h"

void logPlayerData(const std::string& message) {
    if (QV::LogSystem::instancePointer()) {
        QV::logLine(message);
    } else {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
}
