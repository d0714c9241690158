#pragma once

#include <functional>
#include <string>

// The board's fatal-error path: the engine's report and trap, unless a tool
// or a test has installed a handler (the simulator turns the error into a
// message; the handler must not return).
void boardFatal(const std::string& description, const char* file, int line);

using BoardFatalHandler = std::function<void(const std::string& description)>;
// Returns the previous handler; an empty handler restores the engine's path.
BoardFatalHandler setBoardFatalHandler(BoardFatalHandler handler);

// What the simulator's and the tests' handler throws.
struct BoardFatalError {
    std::string description;
};

#define BOARD_FATAL(description) boardFatal((description), __FILE__, __LINE__)
