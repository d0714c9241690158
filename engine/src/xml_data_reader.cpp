#include "xml_data_reader.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine_allocators.h"
#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "report_assert.h"

namespace QV {

namespace {

float toFloat(const pugi::xml_attribute& attribute) {
    return static_cast<float>(std::strtod(attribute.value(), nullptr));
}

bool isTrueText(const char* text) {
    switch (text[0]) {
        case '1': case 't': case 'T': case 'y': case 'Y': return true;
        default: return false;
    }
}

}  // namespace

XmlArrayIterator::XmlArrayIterator(XmlDataReader* reader, const char* key) {
    if (!reader || !key) return;
    pugi::xml_node array = reader->getCurrentNode().child(key);
    pugi::xml_node first = array.child("v0");
    if (!first) return;
    arrayElement = array;
    index = 0;
    reader->setCurrentNode(first);
}

XmlDataReader::XmlDataReader() = default;

XmlDataReader::~XmlDataReader() { clear(); }

void XmlDataReader::clear() {
    mDocument.reset();
    mCurrent = pugi::xml_node();
    if (mBlock) {
        // The arena may have gone with the allocators already; then there is nothing to give back.
        EngineAllocators* allocators = EngineAllocators::instancePointer();
        if (allocators && allocators->getBuddyAllocator() == mBlockOwner)
            mBlockOwner->dealloc(mBlock, mBlockSize);
    }
    mBlock = nullptr;
    mBlockSize = 0;
    mBlockOwner = nullptr;
}

bool XmlDataReader::parseBuffer(const void* data, uint32_t size, std::string* errorDescription) {
    clear();
    BuddyAllocator* buddy = EngineAllocators::instance()->getBuddyAllocator();
    char* block = buddy ? static_cast<char*>(buddy->alloc(size)) : nullptr;
    if (!block) QV_FATAL("");
    mBlock = block;
    mBlockSize = size;
    mBlockOwner = buddy;
    if (size) std::memcpy(block, data, size);
    pugi::xml_parse_result result =
        mDocument.load_buffer_inplace(block, size, pugi::parse_default, pugi::encoding_auto);
    if (!result) {
        if (errorDescription) *errorDescription = result.description();
        clear();
        return false;
    }
    gotoRoot();
    return true;
}

bool XmlDataReader::loadFile(const std::string& package, const std::string& name) {
    clear();
    FileSystem* files = FileSystem::instancePointer();
    std::unique_ptr<File> file(files ? files->open(package, name) : nullptr);
    if (!file) return false;
    const uint32_t size = file->size();
    BuddyAllocator* buddy = EngineAllocators::instance()->getBuddyAllocator();
    char* block = buddy ? static_cast<char*>(buddy->alloc(size)) : nullptr;
    if (!block) QV_FATAL("");
    mBlock = block;
    mBlockSize = size;
    mBlockOwner = buddy;
    // A short read leaves the rest zero, so the parser never sees stale arena bytes.
    uint32_t done = 0;
    while (done < size) {
        int got = file->read(block + done, static_cast<int>(size - done));
        if (got <= 0) break;
        done += static_cast<uint32_t>(got);
    }
    if (done < size) std::memset(block + done, 0, size - done);
    pugi::xml_parse_result result =
        mDocument.load_buffer_inplace(block, done, pugi::parse_default, pugi::encoding_auto);
    if (!result) {
        logFormat("Failed to parse XML file: %s", name.c_str());
        logFormat("Error description: %s", result.description());
        QV_FATAL("");
    }
    gotoRoot();
    return true;
}

void XmlDataReader::gotoRoot() { mCurrent = mDocument.child("root"); }

void XmlDataReader::gotoParent() {
    if (mCurrent) mCurrent = mCurrent.parent();
}

bool XmlDataReader::gotoChild(const char* name) {
    pugi::xml_node child = key(name);
    if (!child) return false;
    mCurrent = child;
    return true;
}

bool XmlDataReader::hasChild(const char* name) const { return key(name); }

pugi::xml_node XmlDataReader::key(const char* name) const {
    if (!name) return pugi::xml_node();
    return mCurrent.child(name);
}

bool XmlDataReader::readString(const char* name, std::string* value) const {
    if (!value) return false;
    pugi::xml_node k = key(name);
    if (!k) {
        value->clear();
        return false;
    }
    *value = k.attribute("v").value();
    return true;
}

bool XmlDataReader::readBool(const char* name, bool* value) const {
    if (!value) return false;
    pugi::xml_node k = key(name);
    *value = k && isTrueText(k.attribute("v").value());
    return k;
}

bool XmlDataReader::readFloat(const char* name, float* value) const {
    if (!value) return false;
    pugi::xml_node k = key(name);
    *value = k ? toFloat(k.attribute("v")) : 0.0f;
    return k;
}

bool XmlDataReader::readInt(const char* name, int* value) const {
    if (!value) return false;
    pugi::xml_node k = key(name);
    *value = k ? k.attribute("v").as_int() : 0;
    return k;
}

bool XmlDataReader::readVector2(const char* name, Vector2<float>* value) const {
    if (!value) return false;
    pugi::xml_node k = key(name);
    if (!k) {
        *value = Vector2<float>(0.0f, 0.0f);
        return false;
    }
    *value = Vector2<float>(toFloat(k.attribute("v0")), toFloat(k.attribute("v1")));
    return true;
}

bool XmlDataReader::readRect(const char* name, Rect* value) const {
    if (!value) return false;
    pugi::xml_node k = key(name);
    if (!k) {
        *value = Rect(0.0f, 0.0f, 0.0f, 0.0f);
        return false;
    }
    // Stored as top, left, bottom, right.
    *value = Rect(toFloat(k.attribute("v1")), toFloat(k.attribute("v0")), toFloat(k.attribute("v3")),
                  toFloat(k.attribute("v2")));
    return true;
}

bool XmlDataReader::readColor(const char* name, Color* value) const {
    if (!value) return false;
    pugi::xml_node k = key(name);
    if (!k) {
        *value = Color::fromBytes(255, 255, 255, 255);
        return false;
    }
    auto byte = [&k](const char* attribute) { return static_cast<uint8_t>(k.attribute(attribute).as_int() & 0xFF); };
    *value = Color::fromBytes(byte("r"), byte("g"), byte("b"), byte("a"));
    return true;
}

void XmlDataReader::nextIndexedChild(XmlArrayIterator& iterator) {
    if (iterator.index == -1) return;
    ++iterator.index;
    pugi::xml_node parent = mCurrent.parent();
    char name[16];
    formatToBuffer(name, sizeof(name), "v%i", iterator.index);
    pugi::xml_node sibling = parent.child(name);
    if (sibling) {
        mCurrent = sibling;
    } else {
        mCurrent = parent;
        iterator.index = -1;
    }
}

void XmlDataReader::restoreNode(XmlArrayIterator& iterator) {
    if (iterator.index != -1) mCurrent = iterator.arrayElement;
}

}  // namespace QV
