#include "support/board_fixture.h"

#include "board/behavior.h"
#include "board/board_fatal.h"
#include "board/chip_manager.h"
#include "board/chip_selector.h"
#include "file_system.h"
#include "board/game_field.h"
#include "log_system.h"
#include "object_factory.h"
#include "particle_system.h"

namespace qvtest {

namespace {

class KeptLogStream : public QV::LogStream {
public:
    explicit KeptLogStream(std::vector<std::string>* lines) : mLines(lines) {}
    void write(const std::string& message) override { mLines->push_back(message); }
    int kind() const override { return 8; }

private:
    std::vector<std::string>* mLines;
};

}  // namespace

BoardWorld::BoardWorld() : plainMode([this](const std::string& line) { modeCalls.push_back(line); }) {
    log = std::make_unique<QV::LogSystem>();
    for (QV::LogStream*& stream : log->streams()) delete stream;
    log->streams().clear();
    log->streams().push_back(new KeptLogStream(&logLines));
    setBoardFatalHandler([](const std::string& why) { throw BoardFatalError{why}; });
    QV::gContentDirectory = dir.path() + "/";
    files = std::make_unique<QV::FileSystem>();
    factory = std::make_unique<QV::ObjectFactory>();
}

BoardWorld::~BoardWorld() {
    board.reset();
    chips.reset();
    Behavior::clearRegistry();
    ChipSelector::clearCache();
    particles.reset();
    files.reset();
    factory.reset();
    setBoardFatalHandler(BoardFatalHandler());
    log.reset();
}

void BoardWorld::resource(const std::string& name, const std::string& text) {
    std::string path = dir.file(name + ".lua");
    writeFile(path, text);
    files->addResource("default", name, path);
}

ChipManager& BoardWorld::prototypes(const std::string& text) {
    board.reset();
    chips.reset();
    Behavior::clearRegistry();
    ChipSelector::clearCache();
    resource("chip_prototypes_lua", text);
    chips = std::make_unique<ChipManager>();
    return *chips;
}

GameField& BoardWorld::field(const std::string& gamefieldText) {
    board.reset();
    resource("gamefield_lua", gamefieldText);
    board = std::make_unique<GameField>(this);
    return *board;
}

bool BoardWorld::level(const std::string& levelText) {
    resource("level_lua", levelText);
    return board->loadLevel("level_lua");
}

std::vector<std::string> BoardWorld::logged(const std::string& part) const {
    std::vector<std::string> found;
    for (const std::string& line : logLines) {
        if (line.find(part) != std::string::npos) found.push_back(line);
    }
    return found;
}

std::string plainPrototypes(const std::string& extra, const std::string& dropRate) {
    return "ChipPrototypes = {\n"
           "  { Name = \"Simple\", DropRate = " + dropRate +
           ", Behavior = { { Name = \"Simple\", MultipleColors = 1, score = 20 } } },\n"
           "  { Name = \"Wall\", Behavior = { { Name = \"Wall\", MultipleColors = 0, CanFalling = 0,"
           " CanIterateWithGroup = 0, score = 30 } } },\n" +
           extra + "}\n";
}

std::string fixedLevel(const std::vector<std::string>& rows, const std::string& extra) {
    std::string text = "GameField = { Grid = {}, AvailableChips = { \"Simple_R\", \"Simple_G\", \"Simple_B\","
                       " \"Simple_M\", \"Simple_Y\", \"Simple_O\" }, Chips = {\n";
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            char letter = rows[r][c];
            std::string type;
            if (letter == 'W') type = "Wall";
            else if (letter == 'r') type = "Random";
            else if (letter != '.') type = std::string("Simple_") + letter;
            if (type.empty()) continue;
            text += "  { Type = \"" + type + "\", PosX = " + std::to_string(c) + ", PosY = " +
                    std::to_string(r + 1) + " },\n";
        }
    }
    return text + "} }\n" + extra;
}

}  // namespace qvtest
