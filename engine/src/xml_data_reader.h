#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string>

#include "color.h"
#include "rect.h"
#include "vector2.h"

namespace QV {

class BuddyAllocator;
class XmlDataReader;

// Walks the items "v0", "v1", ... of an array key. Construction moves the
// reader into "v0"; index -1 means finished (or no items).
struct XmlArrayIterator {
    XmlArrayIterator(XmlDataReader* reader, const char* key);

    pugi::xml_node arrayElement;
    int index = -1;
};

// One parsed XML document and a current element, read in a key/value layout:
// each key is a child element of the current element and holds its value in
// attributes ("v"; "v0".."v3"; "r", "g", "b", "a"). Only a missing key element
// makes a read fail; missing attributes read as empty text or 0.
class XmlDataReader {
public:
    XmlDataReader();
    ~XmlDataReader();
    XmlDataReader(const XmlDataReader&) = delete;
    XmlDataReader& operator=(const XmlDataReader&) = delete;

    // Opens the resource through the file system and parses it; the current
    // element becomes the document's "root". False when the resource is
    // missing. Malformed XML, or text that does not fit the buddy arena, is
    // fatal.
    bool loadFile(const std::string& package, const std::string& name);
    // Parses a copy of the bytes in a buddy block. On failure the reader is
    // left empty and the parser's description is given; never fatal.
    bool parseBuffer(const void* data, uint32_t size, std::string* errorDescription);
    // Frees the document and gives its text block back.
    void clear();

    pugi::xml_document& document() { return mDocument; }
    pugi::xml_node getCurrentNode() const { return mCurrent; }
    void setCurrentNode(pugi::xml_node node) { mCurrent = node; }
    // The document's element "root" (null when there is none) becomes current.
    void gotoRoot();
    // The current element becomes its parent; a null current element stays null.
    void gotoParent();
    // The first child element named key becomes current; false (and no move) when missing.
    bool gotoChild(const char* key);
    bool hasChild(const char* key) const;

    bool readString(const char* key, std::string* value) const;
    bool readBool(const char* key, bool* value) const;
    bool readFloat(const char* key, float* value) const;
    bool readInt(const char* key, int* value) const;
    bool readVector2(const char* key, Vector2<float>* value) const;
    bool readRect(const char* key, Rect* value) const;
    bool readColor(const char* key, Color* value) const;

    // Array steps (see XmlArrayIterator).
    void nextIndexedChild(XmlArrayIterator& iterator);
    void restoreNode(XmlArrayIterator& iterator);

    uint32_t textBlockSize() const { return mBlockSize; }

private:
    pugi::xml_node key(const char* name) const;

    pugi::xml_document mDocument;
    pugi::xml_node mCurrent;
    char* mBlock = nullptr;
    uint32_t mBlockSize = 0;
    BuddyAllocator* mBlockOwner = nullptr;
};

}  // namespace QV
