#include "ui/text_manager.h"

#include <pugixml.hpp>
#include <utf8.h>

#include <iterator>
#include <vector>

#include "config_manager.h"
#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "report_assert.h"

namespace QV {

namespace {

// The first character data or CDATA child of an element.
const char* elementText(const pugi::xml_node& element) {
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) return child.value();
    }
    return "";
}

}  // namespace

void TextManager::load() {
    mTable.clear();
    const std::string& defaultLanguage = Singleton<ConfigManager>::instance()->defaultLanguage();
    if (!defaultLanguage.empty()) loadPackage(defaultLanguage);
    loadPackage("localization");
}

void TextManager::loadPackage(const std::string& package) {
    loadFile("strings_xml", package);
    for (int n = 0;; ++n) {
        if (loadFile(formatString("strings%i_xml", n), package) != 0) break;
    }
}

int TextManager::loadFile(const std::string& name, const std::string& package) {
    File* file = Singleton<FileSystem>::instance()->open(package, name);
    if (!file) {
        logFormat("Failed to load locale: %s", name.c_str());
        return 1;
    }
    std::vector<char> bytes;
    uint32_t size = readWholeFile(*file, bytes);
    file->close();
    delete file;

    pugi::xml_document document;
    if (!document.load_buffer(bytes.data(), size)) QV_FATAL("Failed to parse XML");
    for (pugi::xml_node entry = document.child("root").first_child(); entry; entry = entry.next_sibling()) {
        if (entry.type() != pugi::node_element) continue;
        std::string id = elementText(entry.child("text"));
        std::string text = elementText(entry.child("translate"));
        if (!utf8::is_valid(text.begin(), text.end())) QV_FATAL("");
        std::u16string wide;
        utf8::utf8to16(text.begin(), text.end(), std::back_inserter(wide));
        mTable[id] = wide;
    }
    return 0;
}

const std::u16string& TextManager::translate(const std::string& id) const {
    auto it = mTable.find(id);
    if (it != mTable.end()) return it->second;
    // Built once, safely even when two threads miss at the same time.
    static const std::u16string kMissing = u"!ERROR!";
    return kMissing;
}

}  // namespace QV
