#include "user_data_folder.h"

#include <cstring>
#include <string>

#include "platform/user_data_dir.h"
#include "report_assert.h"

namespace QV {

namespace {

void clearResult(char* result, size_t capacity) {
    if (result && capacity > 0) result[0] = '\0';
}

// "/" or "\" between the names; one separator in front and one at the end.
std::string normaliseCompanyProduct(const char* companyProduct) {
    std::string text = companyProduct ? companyProduct : "FenwrightEntertainment/Corvel";
    for (char& c : text) {
        if (c == '\\') c = '/';
    }
    if (text.empty() || text.front() != '/') text.insert(text.begin(), '/');
    if (text.back() != '/') text.push_back('/');
    return text;
}

}  // namespace

int getUserDataFolder(const char* subFolder, const char* companyProduct, char* result,
                      size_t capacity) {
    clearResult(result, capacity);
    std::string base;
    if (!Platform::userDataBaseDirectory(base)) return kUserDataFolderMissing;
    if (base.size() + 1 >= kUserDataBaseLimit) QV_FATAL("");
    while (base.size() > 1 && base.back() == '/') base.pop_back();

    std::string path = base + normaliseCompanyProduct(companyProduct) +
                       (subFolder ? subFolder : "") + "/";
    if (!result || path.size() + 1 > capacity) return kUserDataFolderTooLong;

    // The base itself may be missing on a fresh account: make it too.
    for (size_t at = 1; at < path.size(); ++at) {
        if (path[at] == '/' && path[at - 1] != '/') {
            Platform::makeDirectoryLevel(path.substr(0, at));
        }
    }
    std::memcpy(result, path.c_str(), path.size() + 1);
    return kUserDataFolderFound;
}

}  // namespace QV
