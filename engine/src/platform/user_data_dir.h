#pragma once

#include <string>

namespace QV {
namespace Platform {

// The per-user data base folder: $XDG_DATA_HOME when it is an absolute path,
// else $HOME/.local/share (HOME from the password database when unset).
// False when neither can be found. The folder is not created here.
bool userDataBaseDirectory(std::string& path);

// Creates one directory level (mode 0700); an existing one is not an error.
bool makeDirectoryLevel(const std::string& path);

}  // namespace Platform
}  // namespace QV
