#pragma once

#include <cstdint>
#include <string>

class GameApplication;
class MainWindow;

// Carries out what the input script asks of the program for this frame
// (screenshots, the close button, focus changes, commands, button clicks);
// false when it closed the window.
bool runScriptActions(int32_t frame, MainWindow& window, GameApplication* application);

// Runs a command line through the command registry, as a UI event does;
// false (after an "ERROR:" line) when no command has that name.
bool runCommandLine(const std::string& commandLine);
