#pragma once

// A board with its drawing around it: our board art and the test content of
// this folder in package "default", the sprite and particle engines on the
// recording device or a real OpenGL window, the chip manager, a level-state
// stand-in, the field and its renderer.

#include <algorithm>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "board/behavior.h"
#include "board/board_fatal.h"
#include "animation.h"
#include "board/board_host.h"
#include "board/chip_appearence.h"
#include "board/chip_manager.h"
#include "board/chip_selector.h"
#include "board/game_field.h"
#include "board/drawable.h"
#include "board/view/game_field_renderer.h"
#include "particle_system.h"
#include "support/particle_fixtures.h"
#include "support/sprite_fixture.h"
#include "support/temp_dir.h"

namespace boardtest {

// The level state as the board sees it, with its switches open to tests.
struct TestHost : BoardHost {
    Mode* mode() override { return nullptr; }
    int openDialogCount() override { return 0; }
    float boardOpacity() override { return opacity; }
    bool dialogBlocksBoard() override { return dialogShown; }
    bool levelEffectStarted() override { return levelEnded; }
    float opacity = 1.0f;
    bool dialogShown = false;
    bool levelEnded = false;
};

// Our board art and this folder's content; a resource named in overrides
// comes from that file of this folder instead.
inline std::vector<qvtest::SpriteMediaFile> boardContent(
    const std::vector<std::pair<std::string, std::string>>& overrides = {},
    const std::vector<std::string>& omitted = {}) {
    const std::string media = QV_SOURCE_DIR "/media";
    const std::string list = qvtest::readFile(media + "/filelists/board_art.lua");
    const std::regex entry("name = \"([^\"]+)\", filename = \"([^\"]+)\"");
    std::vector<qvtest::SpriteMediaFile> files;
    for (std::sregex_iterator it(list.begin(), list.end(), entry), end; it != end; ++it) {
        qvtest::SpriteMediaFile f{(*it)[1], (*it)[2], ""};
        if (std::find(omitted.begin(), omitted.end(), f.name) != omitted.end()) continue;
        f.bytes = qvtest::readFile(media + f.location);
        files.push_back(f);
    }
    const std::string here = QV_SOURCE_DIR "/tests/game/board/view/content";
    const struct {
        const char* name;
        const char* file;
    } ours[] = {{"gamefield_lua", "gamefield.lua"},         {"chip_prototypes_lua", "chip_prototypes.lua"},
                {"level_board_lua", "level_board.lua"},     {"level_too_strong_lua", "level_too_strong.lua"},
                {"level_tiles_lua", "level_tiles.lua"},
                {"schedule_scene_xml", "schedule_scene.xml"}, {"no_emitters_fx", "no_emitters.xml"}};
    for (const auto& f : ours) files.push_back({f.name, std::string("/test/") + f.file, qvtest::readFile(here + "/" + f.file)});
    for (const auto& o : overrides)
        files.push_back({o.first, "/test/" + o.second, qvtest::readFile(here + "/" + o.second)});
    return files;
}

// Fatal board errors become exceptions for the test's life.
struct ThrowingFatals {
    ThrowingFatals() {
        previous = setBoardFatalHandler([](const std::string& text) { throw BoardFatalError{text}; });
    }
    ~ThrowingFatals() { setBoardFatalHandler(previous); }
    BoardFatalHandler previous;
};

class BoardWorld {
public:
    explicit BoardWorld(qvtest::HostDevice device = qvtest::HostDevice::Recording, int width = 640, int height = 704,
                        const std::vector<std::pair<std::string, std::string>>& overrides = {},
                        const std::vector<std::string>& omitted = {})
        : world(boardContent(overrides, omitted), device, width, height) {
        particles.system->setAutoUpdate(false);
    }

    bool ready() const { return world.ready(); }

    // Builds the chip manager, the field and its renderer (as the level's
    // loading job does) and loads the level.
    void load(const std::string& level = "level_board_lua") {
        if (!chips) chips = std::make_unique<ChipManager>();
        if (!field) {
            field = std::make_unique<GameField>(&host);
            renderer = std::make_unique<GameFieldRenderer>(field.get());
            field->renderer = renderer.get();
        }
        field->loadLevel(level);
    }

    // Ends every cell's entry animation and the chips' flight into their
    // cells, as the board's frames would.
    void settleCells() {
        for (std::vector<Cell>& line : field->rows) {
            for (Cell& cell : line) {
                if (cell.animation) cell.animation->update(10.0f);
            }
        }
        if (ChipAppearence* appearence = field->appearances->currentAppearence()) appearence->update(10.0f);
    }

    // Runs the renderer for whole frames of dt, with the particle system's
    // managed effects and the field's free drawables, which the board's own
    // frame advances in the game.
    void run(float seconds, float dt = 1.0f / 60.0f) {
        for (float t = 0.0f; t < seconds - 1e-6f; t += dt) {
            particles.system->advance(dt);
            std::vector<FreeDrawable>& free = field->freeDrawables;
            for (size_t i = 0; i < free.size();) {
                free[i].drawable->setActive(true);
                free[i].drawable->update(dt);
                if (free[i].drawable->isAlive()) {
                    ++i;
                } else {
                    delete free[i].drawable;
                    free.erase(free.begin() + long(i));
                }
            }
            renderer->update(dt);
        }
    }

    ~BoardWorld() {
        if (field) field->renderer = nullptr;
        renderer.reset();
        field.reset();
        chips.reset();
        // As the game does at its end: the layer templates hold drawables.
        ChipSelector::clearCache();
        Behavior::clearRegistry();
    }

    ThrowingFatals fatals;
    qvtest::SpriteWorld world;
    qvtest::ParticleEngine particles;
    TestHost host;
    std::unique_ptr<ChipManager> chips;
    std::unique_ptr<GameField> field;
    std::unique_ptr<GameFieldRenderer> renderer;
};

}  // namespace boardtest
