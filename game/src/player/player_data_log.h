#pragma once

#include <string>

// One line to the game's log; to standard error when no log exists (tools, tests).
void logPlayerData(const std::string& message);
