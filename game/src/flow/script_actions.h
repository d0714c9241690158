#pragma once

#include <cstdint>
#include <string>

class GameApplication;
class MainWindow;

// Carries out what the input script asks of the program for this frame
// (screenshots, the close button, focus changes, commands, button clicks);
// false when it closed the window.
bool runScriptActions(int32_t frame, MainWindow& window, GameApplication* application);

namespace QV {
class UIWidget;
}

// The topmost shown widget named id: shown roots from the top, each tree
// depth first through shown, visible widgets only; null when none.
QV::UIWidget* findTopmostShownWidget(const std::string& id);

// A click without position on that widget (message 9); false (after an
// "ERROR:" line naming the id) when no shown widget has it.
bool clickShownWidget(const std::string& id);

// Runs a command line through the command registry, as a UI event does;
// false (after an "ERROR:" line) when no command has that name.
bool runCommandLine(const std::string& commandLine);
