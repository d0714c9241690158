#pragma once

#include <string>
#include <vector>

// The places the game looks for its content, a "media" folder, in order: the
// current folder, beside the executable (executablePath may be empty), and the
// source tree the program was built from. Each ends with "/"; none twice.
std::vector<std::string> contentFolderCandidates(const std::string& executablePath);

// The first candidate that holds content ("config.lua", "data.qvp" or
// "data.zip"); empty when none does.
std::string findContentFolder(const std::vector<std::string>& candidates);

// The fatal report when no candidate holds content: every place, as a full path.
std::string contentNotFoundReport(const std::vector<std::string>& candidates);
