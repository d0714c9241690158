#pragma once

#include <string>

namespace qvtest {

// A fresh directory under the system's temp folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return mPath; }
    std::string file(const std::string& relative) const { return mPath + "/" + relative; }

private:
    std::string mPath;
};

// Changes the working directory for a scope.
class ScopedChdir {
public:
    explicit ScopedChdir(const std::string& path);
    ~ScopedChdir();

private:
    std::string mPrevious;
};

// Writes bytes to a file, creating missing parent folders.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

}  // namespace qvtest
