// save_dump: prints what a save file holds, one "name = value" a line.
//   save_dump [--platform N] [--episodes main_mode.lua] <file>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "player/save_dump_text.h"

int main(int argc, char** argv) {
    SaveDumpOptions options;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--platform" && i + 1 < argc) {
            options.platformCode = std::atoi(argv[++i]);
        } else if (arg == "--episodes" && i + 1 < argc) {
            std::string error;
            if (!readEpisodeShapeFromLua(argv[++i], options.episodeShape, &error)) {
                std::fprintf(stderr, "save_dump: cannot read episodes from %s: %s\n", argv[i], error.c_str());
                return 2;
            }
            options.haveEpisodeShape = true;
        } else if (path.empty() && (arg.empty() || arg[0] != '-')) {
            path = arg;
        } else {
            path.clear();
            break;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "usage: save_dump [--platform N] [--episodes main_mode.lua] <file>\n");
        return 2;
    }
    std::string text;
    int result = dumpSaveFile(path, options, text);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return result;
}
