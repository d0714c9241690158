// Arbitrary bytes as the scene of the board's scene effects: the path flight
// (its "#speed:" node and markers), the flying scene (its "#time:" node) and
// the dash-separated numbers of every node name. Every effect must end or
// stay bounded, and a scene the effects cannot use is a fatal error, never a crash.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_xml_reader.h"
#include "board/board_fatal.h"
#include "log_system.h"
#include "board/parse_dash_number.h"
#include "board/view/scene_effect.h"
#include "board/view/scene_flying_effect.h"
#include "board/view/scene_path_effect.h"
#include "sprite.h"
#include "sprite_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QV::SpriteManager<QV::Sprite>* sprites = [] {
        QV::LogSystem* log = new QV::LogSystem();
        log->streams().clear();
        setBoardFatalHandler([](const std::string& why) { throw BoardFatalError{why}; });
        return new QV::SpriteManager<QV::Sprite>();
    }();
    (void)sprites;
    if (size > 65536) return 0;
    AE::SceneXmlReader reader;
    AE::ISceneNode* raw = nullptr;
    if (!reader.loadFromMemory(raw, "fuzz_xml", data, size)) return 0;
    std::unique_ptr<AE::ISceneNode> root(raw);

    for (AE::ISceneNode* node : root->collectDescendants()) {
        const char* cursor = node->mName.c_str();
        while (*cursor) {
            const char* before = cursor;
            parseDashNumber(cursor);
            if (cursor == before) ++cursor;
        }
    }

    {
        ScenePathEffect path(root->clone(nullptr), "red");
        path.setPosition({0.0f, 0.0f});
        path.setTarget({300.0f, 200.0f});
        for (int i = 0; i < 60 && !path.isArrived(); ++i) path.update(1.0f / 60.0f);
        path.finishPath();
        for (int i = 0; i < 8; ++i) path.update(0.25f);
    }
    try {
        SceneFlyingEffect flying(root->clone(nullptr), "fuzz_xml", 150, {0.0f, 0.0f}, {100.0f, 50.0f}, "init");
        for (int i = 0; i < 8 && !flying.finished; ++i) flying.update(0.25f);
    } catch (const BoardFatalError&) {
    }
    try {
        SceneEffect effect(root->clone(nullptr), "fuzz_xml", 5, {10.0f, 10.0f}, 0.1f, "init");
        for (int i = 0; i < 8 && !effect.finished; ++i) effect.update(0.25f);
    } catch (const BoardFatalError&) {
    }
    return 0;
}
