#pragma once

#include <memory>
#include <string>
#include <vector>

#include "board/board_host.h"
#include "board/plain_mode.h"
#include "support/temp_dir.h"

class ChipManager;
class GameField;

namespace QV {
class FileSystem;
class LogSystem;
class ObjectFactory;
class ParticleSystem;
}  // namespace QV

namespace qvtest {

// The board's world for unit tests: a log whose lines are kept, a file
// system whose resources are texts written to a temp folder, a plain mode
// recording its calls, and fatal errors thrown as BoardFatalError.
class BoardWorld : public BoardHost {
public:
    BoardWorld();
    ~BoardWorld() override;

    Mode* mode() override { return &plainMode; }
    int openDialogCount() override { return dialogCount; }

    // Enters a resource of package "default" with the given text.
    void resource(const std::string& name, const std::string& text);
    ChipManager& prototypes(const std::string& text);
    // The field over a "gamefield_lua" of this text (prototypes must exist).
    GameField& field(const std::string& gamefieldText);
    // Loads a level script text as the resource "level_lua".
    bool level(const std::string& levelText);
    // Log lines that contain the text.
    std::vector<std::string> logged(const std::string& part) const;

    TempDir dir;
    std::vector<std::string> logLines;
    std::vector<std::string> modeCalls;
    PlainMode plainMode;
    int dialogCount = 0;
    std::unique_ptr<QV::LogSystem> log;
    std::unique_ptr<QV::ObjectFactory> factory;
    std::unique_ptr<QV::FileSystem> files;
    std::unique_ptr<QV::ParticleSystem> particles;
    std::unique_ptr<ChipManager> chips;
    std::unique_ptr<GameField> board;
};

// A prototype text of the six plain colours with the given drop rate, plus extra entries.
std::string plainPrototypes(const std::string& extra = "", const std::string& dropRate = "1");

// A level text: fixed chips from rows of letters (R G B M Y O, '.' none,
// 'W' a wall, 'r' a random chip), every colour available.
std::string fixedLevel(const std::vector<std::string>& rows, const std::string& extra = "");

}  // namespace qvtest
