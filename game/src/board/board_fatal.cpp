#include "board/board_fatal.h"

#include "report_assert.h"

namespace {
BoardFatalHandler& handlerSlot() {
    static BoardFatalHandler handler;
    return handler;
}
}  // namespace

void boardFatal(const std::string& description, const char* file, int line) {
    if (handlerSlot()) {
        handlerSlot()(description);
    }
    QV::reportAssert("QV", description, file, line);
    QV::breakpointTrap();
}

BoardFatalHandler setBoardFatalHandler(BoardFatalHandler handler) {
    BoardFatalHandler previous = handlerSlot();
    handlerSlot() = std::move(handler);
    return previous;
}
