#pragma once

#include <string>

#include "player/main_mode_section.h"

struct SaveDumpOptions {
    // Episode shape for the MainMode section's tree; without it the tree is shown as bytes.
    bool haveEpisodeShape = false;
    MainModeProgress episodeShape;
    // Also checks the version word against this platform code when >= 0.
    int platformCode = -1;
};

// Reads the episode tree's shape (episodes, parts, levels per part) from a
// "main_mode" Lua data file; false when it cannot be run or has no "episodes".
bool readEpisodeShapeFromLua(const std::string& path, MainModeProgress& shape, std::string* error);

// "name = value" lines describing a save file; result 0 when the container
// is intact, 1 when it is missing or damaged.
int dumpSaveFile(const std::string& path, const SaveDumpOptions& options, std::string& text);
