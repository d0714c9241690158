// Parses arbitrary bytes as an XML data document and runs every typed reader
// and the array walk over every element.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine_allocators.h"
#include "xml_data_reader.h"

namespace {

void readAll(QV::XmlDataReader& reader, const char* key) {
    std::string s;
    bool b;
    float f;
    int i;
    QV::Vector2<float> v;
    QV::Rect r;
    QV::Color c;
    reader.readString(key, &s);
    reader.readBool(key, &b);
    reader.readFloat(key, &f);
    reader.readInt(key, &i);
    reader.readVector2(key, &v);
    reader.readRect(key, &r);
    reader.readColor(key, &c);
}

void visit(QV::XmlDataReader& reader, pugi::xml_node node, int depth) {
    if (depth > 64) return;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        reader.setCurrentNode(node);
        readAll(reader, child.name());
        int items = 0;
        for (QV::XmlArrayIterator it(&reader, child.name()); it.index != -1 && items < 1000;
             reader.nextIndexedChild(it), ++items) {
            readAll(reader, "x");
        }
        reader.setCurrentNode(node);
        if (reader.gotoChild(child.name())) reader.gotoParent();
        visit(reader, child, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QV::EngineAllocators* allocators = [] {
        auto* a = new QV::EngineAllocators();
        a->init();
        return a;
    }();
    (void)allocators;
    // Text beyond the arena is a deliberate fatal stop, not a parser fault.
    if (size > QV::BuddyAllocator::kArenaSize) return 0;
    QV::XmlDataReader reader;
    std::string error;
    if (!reader.parseBuffer(data, static_cast<uint32_t>(size), &error)) return 0;
    visit(reader, reader.document(), 0);
    return 0;
}
