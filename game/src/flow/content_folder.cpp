#include "flow/content_folder.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The build names its source tree's content; a build without it has one place less.
#ifdef QV_SOURCE_MEDIA_DIR
const char* const kSourceContent = QV_SOURCE_MEDIA_DIR;
#else
const char* const kSourceContent = "";
#endif

std::string fullPath(const std::string& folder) {
    std::error_code error;
    const fs::path absolute = fs::absolute(folder, error);
    return error ? folder : absolute.lexically_normal().string();
}

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

std::vector<std::string> contentFolderCandidates(const std::string& executablePath) {
    std::vector<std::string> places = {"./media/"};
    if (!executablePath.empty())
        places.push_back((fs::path(executablePath).parent_path() / "media").lexically_normal().string() + "/");
    if (*kSourceContent) places.push_back(kSourceContent);
    // The same folder reached twice (a run from the source tree) is looked at once.
    std::vector<std::string> result;
    std::vector<std::string> seen;
    for (const std::string& place : places) {
        std::error_code error;
        fs::path canonical = fs::weakly_canonical(place, error);
        const std::string key = error ? fullPath(place) : canonical.string();
        bool again = false;
        for (const std::string& s : seen) again = again || s == key;
        if (again) continue;
        seen.push_back(key);
        result.push_back(place.back() == '/' ? place : place + "/");
    }
    return result;
}

std::string findContentFolder(const std::vector<std::string>& candidates) {
    for (const std::string& folder : candidates) {
        for (const char* name : {"config.lua", "data.qvp", "data.zip"})
            if (isFile(fs::path(folder) / name)) return folder;
    }
    return std::string();
}

std::string contentNotFoundReport(const std::vector<std::string>& candidates) {
    std::string text = "Failed to find the game's content (config.lua, data.qvp or data.zip). Looked in:";
    for (const std::string& folder : candidates) text += "\n  " + fullPath(folder);
    return text;
}
