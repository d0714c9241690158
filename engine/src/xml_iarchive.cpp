#include "xml_iarchive.h"

#include <cstdlib>
#include <vector>

#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "report_assert.h"
#include "xml_value_text.h"

namespace QV {

XmlIArchive::XmlIArchive(const std::string& package, const std::string& fileName) {
    File* file = Singleton<FileSystem>::instance()->open(package, fileName);
    if (!file) {
        std::string message = formatString("Failed to open file to load xml_iarchive: %s", fileName.c_str());
        logLine(message);
        reportAssert("QV", message, "xml_iarchive", __LINE__);
        breakpointTrap();
    }
    mLoaded = true;
    std::vector<char> bytes;
    uint32_t size = readWholeFile(*file, bytes);
    file->close();
    delete file;
    parse(bytes.data(), size, true);
}

XmlIArchive::XmlIArchive(const char* data, size_t size) { parse(data, size, false); }

void XmlIArchive::parse(const char* data, size_t size, bool fatalOnError) {
    pugi::xml_parse_result result = mDocument.load_buffer(data, size, pugi::parse_default, pugi::encoding_auto);
    if (!result) {
        if (fatalOnError) {
            reportAssert("QV", "Failed to parse xml", "xml_iarchive", __LINE__);
            breakpointTrap();
        }
        mLoaded = false;
        mDocument.reset();
    } else {
        mLoaded = true;
    }
    mStack.push_back(mDocument.child("root"));
}

pugi::xml_node XmlIArchive::field(const std::string& name) const {
    return mStack.empty() ? pugi::xml_node() : mStack.back().child(name.c_str());
}

int XmlIArchive::parseCount(const pugi::xml_node& element) {
    int count = parseArchiveInt(element.attribute("sz").as_string());
    if (count <= 0) return 0;
    // Items past the last one the document holds would all be blank; a huge
    // "sz" must not make millions of them, so the count stops there.
    int last = -1;
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        const char* name = child.name();
        if (name[0] != 'e' || name[1] < '0' || name[1] > '9') continue;
        char* end = nullptr;
        long index = std::strtol(name + 1, &end, 10);
        bool canonical = name[1] != '0' || name[2] == '\0';
        if (canonical && *end == '\0' && index < count && index > last) last = static_cast<int>(index);
    }
    return last + 1;
}

void XmlIArchive::load(nvp<int> pair) {
    *pair.value() = parseArchiveInt(field(pair.name()).attribute("v").as_string());
}

void XmlIArchive::load(nvp<float> pair) {
    *pair.value() = parseArchiveFloat(field(pair.name()).attribute("v").as_string());
}

void XmlIArchive::load(nvp<bool> pair) {
    *pair.value() = parseArchiveBool(field(pair.name()).attribute("v").as_string());
}

void XmlIArchive::load(nvp<std::string> pair) { *pair.value() = field(pair.name()).attribute("v").as_string(); }

void XmlIArchive::load(nvp<Vector2<float>> pair) {
    pugi::xml_node element = field(pair.name());
    pair.value()->x = parseArchiveFloat(element.attribute("x").as_string());
    pair.value()->y = parseArchiveFloat(element.attribute("y").as_string());
}

void XmlIArchive::load(nvp<Rect> pair) {
    pugi::xml_node element = field(pair.name());
    pair.value()->left = parseArchiveFloat(element.attribute("left").as_string());
    pair.value()->top = parseArchiveFloat(element.attribute("top").as_string());
    pair.value()->right = parseArchiveFloat(element.attribute("right").as_string());
    pair.value()->bottom = parseArchiveFloat(element.attribute("bottom").as_string());
}

void XmlIArchive::load(nvp<Color> pair) {
    pugi::xml_node element = field(pair.name());
    pair.value()->r = parseArchiveByte(element.attribute("r").as_string());
    pair.value()->g = parseArchiveByte(element.attribute("g").as_string());
    pair.value()->b = parseArchiveByte(element.attribute("b").as_string());
    pair.value()->a = parseArchiveByte(element.attribute("a").as_string());
}

}  // namespace QV
