#pragma once

#include "singleton.h"

namespace QV {

// Placeholder until the file system lands.
class FileSystem : public Singleton<FileSystem> {
public:
    FileSystem() = default;
    void reloadFileTable() {}
};

}  // namespace QV
