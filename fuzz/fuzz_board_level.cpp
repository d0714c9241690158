// Arbitrary "chip_prototypes_lua" or level script text through the board's
// loaders: fatal data errors become exceptions, nothing may crash.
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "board/behavior.h"
#include "board/board_fatal.h"
#include "board/board_host.h"
#include "board/chip_manager.h"
#include "board/chip_selector.h"
#include "file_system.h"
#include "board/game_field.h"
#include "log_system.h"
#include "board/move_hint.h"
#include "board/plain_mode.h"

namespace {

class QuietLog : public QV::LogStream {
public:
    void write(const std::string&) override {}
    int kind() const override { return 8; }
};

class Host : public BoardHost {
public:
    Mode* mode() override { return &plain; }
    int openDialogCount() override { return 0; }
    PlainMode plain;
};

const char* const kPrototypes =
    "ChipPrototypes = {\n"
    "  { Name = \"Simple\", DropRate = 1, Behavior = { { Name = \"Simple\", MultipleColors = 1 } } },\n"
    "  { Name = \"Wall\", Behavior = { { Name = \"Wall\", MultipleColors = 0, CanFalling = 0 } } },\n"
    "  { Name = \"ChainBomb\", Behavior = { { Name = \"ChainBomb\", MultipleColors = 1 } } },\n"
    "}\n";
const char* const kGamefield = "Parameters = { gridWidth = 7, gridHeight = 6 }\n";
const char* const kLevel =
    "GameField = { Grid = { Cells = { { PosX = 1, PosY = 1, Solidity = 2 } } },\n"
    "  AvailableChips = { \"Simple_R\", \"Simple_G\", \"Simple_B\" },\n"
    "  Chips = { { Type = \"Random\", PosX = 0, PosY = 1 }, { Type = \"Wall\", PosX = 2, PosY = 2 } } }\n";

struct World {
    World() {
        char pattern[] = "/tmp/fuzz_board_XXXXXX";
        dir = mkdtemp(pattern) ? pattern : "/tmp";
        log = std::make_unique<QV::LogSystem>();
        for (QV::LogStream*& stream : log->streams()) delete stream;
        log->streams().clear();
        log->streams().push_back(new QuietLog());
        QV::gContentDirectory = dir + "/";
        files = std::make_unique<QV::FileSystem>();
        setBoardFatalHandler([](const std::string& why) { throw BoardFatalError{why}; });
    }
    void put(const std::string& name, const std::string& text) {
        std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        files->addResource("default", name, path);
    }
    std::string dir;
    std::unique_ptr<QV::LogSystem> log;
    std::unique_ptr<QV::FileSystem> files;
};

// Huge strings would only run out of memory, the debug library can lift the
// work limit, and io and os reach outside. Metatables and functions stay:
// their errors and runaway calls are what the loaders must survive. Loop
// statements are left out only because each runaway one costs the whole work
// limit. Names are matched as whole words ("function" holds "io"). Chip
// prototype scripts run with no work limit, so their text has no functions.
bool acceptable(const std::string& text, bool prototypesText) {
    for (const char* part : {"rep", "..", "\\"}) {
        if (text.find(part) != std::string::npos) return false;
    }
    static const std::set<std::string> kRefused = {"while", "repeat", "for", "goto", "load", "loadstring",
                                                   "loadfile", "dofile", "require", "io", "os", "debug",
                                                   "coroutine", "char", "getfenv", "setfenv", "module"};
    for (size_t i = 0; i < text.size();) {
        const auto isWordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
        if (!isWordChar(text[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && isWordChar(text[end])) ++end;
        const std::string word = text.substr(i, end - i);
        if (kRefused.count(word) || (prototypesText && word == "function")) return false;
        i = end;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World world;
    if (size < 1) return 0;
    const bool prototypesText = data[0] & 1;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (text.find('\0') != std::string::npos || !acceptable(text, prototypesText)) return 0;
    world.put("chip_prototypes_lua", prototypesText ? text : kPrototypes);
    world.put("gamefield_lua", kGamefield);
    world.put("level_lua", prototypesText ? kLevel : text);
    Host host;
    try {
        ChipManager chips;
        GameField field(&host);
        field.loadLevel("level_lua");
        field.destroyMatches(true);
        field.moveHint->findMove();
    } catch (const BoardFatalError&) {
    }
    Behavior::clearRegistry();
    ChipSelector::clearCache();
    return 0;
}
