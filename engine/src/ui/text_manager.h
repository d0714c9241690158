#pragma once

#include <map>
#include <string>

#include "singleton.h"

namespace QV {

// The current language's texts by text id, from the string tables of the
// default language and then of the current one (which wins id by id).
class TextManager : public Singleton<TextManager> {
public:
    TextManager() = default;

    void load();
    void loadPackage(const std::string& package);
    // 0 when read, 1 when the resource could not be opened.
    int loadFile(const std::string& name, const std::string& package);

    // Exact match; "!ERROR!" for an unknown id.
    const std::u16string& translate(const std::string& id) const;

    size_t size() const { return mTable.size(); }

private:
    std::map<std::string, std::u16string> mTable;
};

}  // namespace QV
