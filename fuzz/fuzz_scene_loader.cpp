// Reads arbitrary bytes as a scene file and builds its tree with every node
// kind (without a file system, so pictures, effects and sounds are missing and
// their nodes take the failure paths), then plays its markers and timelines,
// copies the tree and writes and reads back every node's binary snapshot.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_xml_reader.h"
#include "animationeditor/vector_stream.h"
#include "log_system.h"
#include "sprite.h"
#include "sprite_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QV::SpriteManager<QV::Sprite>* sprites = [] {
        QV::LogSystem* log = new QV::LogSystem();
        log->streams().clear();  // quiet: every missing picture is logged
        return new QV::SpriteManager<QV::Sprite>();
    }();
    (void)sprites;
    if (size > 65536) return 0;
    AE::SceneXmlReader reader;
    AE::ISceneNode* raw = nullptr;
    if (!reader.loadFromMemory(raw, "fuzz_xml", data, size)) return 0;
    std::unique_ptr<AE::ISceneNode> root(raw);
    std::vector<AE::ISceneNode*> nodes = root->collectDescendants();
    for (AE::Marker* marker : root->mMarkers) marker->play(true);
    root->play(true);
    for (int i = 0; i < 4; ++i) root->update(0.25f);
    root->gotoFrame(12);
    std::unique_ptr<AE::ISceneNode> copy(root->clone(nullptr));
    copy->update(0.1f);
    // Snapshots of up to 16 nodes, read back into a copy of the same kind.
    for (size_t i = 0; i < nodes.size() && i < 16; ++i) {
        std::vector<uint8_t> bytes;
        AE::VectorStream out(&bytes);
        nodes[i]->write(out, (i & 1) != 0);
        std::unique_ptr<AE::ISceneNode> target(nodes[i]->clone(nullptr));
        AE::VectorStream in(&bytes);
        target->read(in);
    }
    return 0;
}
