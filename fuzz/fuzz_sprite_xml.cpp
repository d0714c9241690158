// Reads arbitrary bytes as an XML sprite set and builds a sprite from every
// element under "root" that names no image (textures need the file system)
// and whose mesh passes the checks that stop loading on purpose; then places
// it, binds and runs an animation over it and copies it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "animation.h"
#include "buddy_allocator.h"
#include "engine_allocators.h"
#include "format_string.h"
#include "sprite.h"
#include "xml_data_reader.h"

namespace {

// False for descriptions whose loading is a deliberate fatal stop.
bool loadable(QV::XmlDataReader& reader) {
    pugi::xml_node element = reader.getCurrentNode();
    if (element.child("Image0")) return false;
    pugi::xml_node mesh = element.child("Mesh");
    if (!mesh) return true;
    reader.setCurrentNode(mesh);
    int sizeX = 0, sizeY = 0;
    bool ok = reader.readInt("sizeX", &sizeX) && reader.readInt("sizeY", &sizeY) && sizeX > 0 && sizeY > 0 &&
              sizeX <= int(QV::Sprite::kMaxMeshCells) && sizeY <= int(QV::Sprite::kMaxMeshCells);
    pugi::xml_node vertecies = mesh.child("Vertecies");
    for (int k = 0; ok && vertecies; ++k) {
        pugi::xml_node vertex = vertecies.child(QV::formatString("v%i", k).c_str());
        if (!vertex) break;
        reader.setCurrentNode(vertex);
        int x = 0, y = 0;
        reader.readInt("x", &x);
        reader.readInt("y", &y);
        const int64_t index = int64_t(y) * (sizeX + 1) + x;
        ok = index >= 0 && index < int64_t(sizeX + 1) * (sizeY + 1);
    }
    reader.setCurrentNode(element);
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QV::EngineAllocators* allocators = [] {
        auto* a = new QV::EngineAllocators();
        a->init();
        return a;
    }();
    (void)allocators;
    if (size > QV::BuddyAllocator::kArenaSize) return 0;
    QV::XmlDataReader reader;
    std::string error;
    if (!reader.parseBuffer(data, static_cast<uint32_t>(size), &error)) return 0;
    reader.gotoRoot();
    pugi::xml_node root = reader.getCurrentNode();
    int built = 0;
    for (pugi::xml_node element = root.first_child(); element && built < 8; element = element.next_sibling()) {
        reader.setCurrentNode(element);
        if (!loadable(reader)) continue;
        ++built;
        QV::Sprite sprite;
        sprite.parseXml(reader);
        sprite.updateVertices();
        QV::Animation animation;
        sprite.bindAnimation(&animation);
        animation.addFrame(0.25f);
        animation.addFrame(0.0f);
        animation.mLoop = true;
        animation.update(0.3f);
        sprite.setSrcRect(3, QV::Rect(1, 2, 3, 4), true);
        sprite.updateVertices();
        QV::Matrix3 m;
        m.m00 = 2.0f;
        sprite.setTransform(m);
        QV::Sprite copy(sprite);
        copy.updateVertices();
    }
    return 0;
}
