#include <algorithm>
#include <memory>

extern "C" {
#include <lua.h>
}

#include "board/behavior.h"
#include "board/board_host.h"
#include "board/board_random.h"
#include "board/chip.h"
#include "board/chip_appearence.h"
#include "board/chip_manager.h"
#include "board/chip_selector.h"
#include "board/drawable.h"
#include "file_system.h"
#include "format_string.h"
#include "board/game_field.h"
#include "log_system.h"
#include "board/lua_fields.h"
#include "lua_script2.h"
#include "board/mode.h"
#include "board/move_hint.h"
#include "board/task.h"

namespace {

void note(const std::string& line) {
    if (QV::LogSystem* log = QV::LogSystem::instancePointer()) log->write(line);
}

constexpr int kPlacementAttempts = 10;
// Lua instructions a level script and the metamethods its data meets may run:
// data tables take a few thousand, so only a runaway script reaches this.
constexpr long kLevelScriptWork = 20000000;
const char* const kReplacementLetters = "RGBMYO";

bool isRandomName(const std::string& name) { return name.empty() || name == "Random"; }

bool formsRun(const GameField* field, const Chip* chip) {
    if (!chip || !chip->selector) return false;
    MatchLines lines;
    chip->selector->select(lines, field, chip);
    return lines.chipCount() > 0;
}

// A string, or a number in its string form; false for anything else.
bool valueAsName(QV::LuaScript2& script, std::string* name) {
    lua_State* L = script.state();
    int type = lua_type(L, -1);
    if (type != LUA_TSTRING && type != LUA_TNUMBER) return false;
    // Converting a copy keeps a number key of a surrounding traversal intact.
    lua_pushvalue(L, -1);
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    name->assign(text, length);
    lua_pop(L, 1);
    return true;
}

}  // namespace

bool GameField::loadLevel(const std::string& levelScriptName) {
    selectedChip = nullptr;
    chipOrderCounter = 0;
    lastError.clear();
    note(QV::formatString("Loading level '%s'", levelScriptName.c_str()));
    clear();
    rendererClearQueue();
    for (FreeDrawable& free : freeDrawables) delete free.drawable;
    freeDrawables.clear();

    QV::LuaScript2 script(QV::createLuaState());
    script.limitWork(kLevelScriptWork);
    // Errors of the script itself are ignored: what it defined is read. A
    // script stopped for running too long is refused below.
    QV::runScriptFile(script.state(), levelScriptName);
    if (Mode* current = mode()) current->readLevelRules(script);

    bool haveTable = !script.failed() && script.openTable("GameField");
    if (haveTable) {
        readLevelTable(script);
        script.closeTable();
    }
    if (script.failed()) {
        // Data whose reading raised an error or ran away: no part of it is played.
        haveTable = false;
        lastError = QV::formatString("level script '%s' cannot be read: %s", levelScriptName.c_str(),
                                     script.readError().c_str());
        clear();
    } else if (!haveTable) {
        QV::FileSystem* files = QV::FileSystem::instancePointer();
        const bool exists = files && files->hasFile("default", levelScriptName);
        lastError = QV::formatString(exists ? "level script '%s' defines no GameField table"
                                            : "no level script '%s'",
                                     levelScriptName.c_str());
    }
    if (!haveTable) {
        note("ERROR: " + lastError);
        columnHolds.clear();
    }
    levelName = levelScriptName;
    note("Loading done.");

    appearances->clear();
    appearances->items.emplace_back(new ChipAppearenceCross(0.85f, false));
    appearances->items.emplace_back(new ChipAppearenceLine(0.85f, false));
    const size_t count = appearances->items.size();
    appearances->current = std::min(count - 1, static_cast<size_t>(boardRand()) * count / 32767);
    appearances->items[appearances->current]->start(this);

    hotspotTime = chipHotspotPeriod;
    idleTime = 0.0f;
    startCellAnimations();
    if (ChipAppearence* appearence = appearances->currentAppearence()) appearence->update(0.0f);
    moveHint->reset();
    comboTime = 0.0f;
    comboCount = 0;
    rendererClearEffects();
    levelTime = 0.0f;
    fallPauseTime = 0.0f;
    levelRunning = refillEnabled = fallEnabled = true;
    levelBegun = false;
    rendererPlayHighlight();
    return haveTable;
}

void GameField::readLevelTable(QV::LuaScript2& script) {
    columnHolds.clear();
    if (script.openTable("Grid")) {
        readGrid(script);
        script.closeTable();
    }
    if (script.failed()) return;
    chipManager->dropRateSum = 0.0f;
    if (script.openTable("AvailableChips")) {
        readAvailableChips(script);
        script.closeTable();
    }
    if (script.failed()) return;
    chipManager->buildRandomSequence();
    if (script.openTable("Chips")) {
        readChips(script);
        script.closeTable();
    }
}

void GameField::readGrid(QV::LuaScript2& script) {
    buildGrid();
    if (script.openTable("Cells")) {
        readCells(script);
        script.closeTable();
    }
    rebuildCells();
}

void GameField::buildGrid() {
    rows.clear();
    rows.resize(static_cast<size_t>(gridHeight) + 1);
    for (int row = 0; row <= gridHeight; ++row) {
        std::vector<Cell>& line = rows[static_cast<size_t>(row)];
        line.resize(static_cast<size_t>(gridWidth));
        for (int column = 0; column < gridWidth; ++column) {
            Cell& cell = line[static_cast<size_t>(column)];
            cell.column = static_cast<uint8_t>(column);
            cell.row = static_cast<uint8_t>(row);
            cell.solidity = 1;
        }
    }
}

void GameField::readCells(QV::LuaScript2& script) {
    lua_State* L = script.state();
    lua_checkstack(L, 6);
    lua_pushnil(L);
    while (script.next()) {
        if (lua_istable(L, -1) && script.openTopTable()) {
            int column = 0, row = 0, solidity = 1;
            readIntField(script, "PosX", &column);
            readIntField(script, "PosY", &row);
            readIntField(script, "Solidity", &solidity);
            script.closeTable();
            if (script.failed()) {
                lua_pop(L, 2);  // the entry and its key
                break;
            }
            if (column >= 0 && column < gridWidth && row >= 1 && row <= gridHeight) {
                cellAt(column, row)->solidity = solidity;
            }
        }
        lua_pop(L, 1);
    }
}

void GameField::readAvailableChips(QV::LuaScript2& script) {
    lua_State* L = script.state();
    lua_checkstack(L, 6);
    lua_pushnil(L);
    while (script.next()) {
        std::string name;
        if (valueAsName(script, &name)) {
            ChipPrototype* prototype = chipManager->findPrototype(name);
            if (!prototype) {
                note(QV::formatString("ERROR: AvailableChips names '%s', which is no chip prototype",
                                      name.c_str()));
            } else {
                chipManager->available[name] = prototype;
                chipManager->dropRateSum += prototype->dropRate;
            }
        }
        lua_pop(L, 1);
    }
}

void GameField::readChips(QV::LuaScript2& script) {
    seedBoardRandom();
    std::vector<ChipDescription> descriptions;
    lua_State* L = script.state();
    lua_checkstack(L, 6);
    lua_pushnil(L);
    while (script.next()) {
        if (lua_istable(L, -1) && script.openTopTable()) {
            ChipDescription description;
            script.pushField("Type");
            bool typed = valueAsName(script, &description.prototypeName);
            lua_pop(L, 1);
            readIntField(script, "PosX", &description.column);
            readIntField(script, "PosY", &description.row);
            readIntField(script, "Radius", &description.radius);
            const std::string& type = description.prototypeName;
            const bool chainBomb = type.compare(0, 9, "ChainBomb") == 0;
            const bool generator = type == "ChipGenerator";
            if ((chainBomb || generator) && script.openTable("data")) {
                const char* second = chainBomb ? "chains" : "radius";
                for (const char* key : {"limit", second}) {
                    int value = 0;
                    if (readIntField(script, key, &value)) description.properties[key] = DataHolder(value);
                }
                script.closeTable();
            }
            script.closeTable();
            if (script.failed()) {
                lua_pop(L, 2);  // the entry and its key
                break;
            }
            const bool onBoard = description.column >= 0 && description.column < gridWidth &&
                                 description.row >= 1 && description.row <= gridHeight;
            if (!typed) {
                note("ERROR: a Chips entry has no Type; skipped");
            } else if (!isRandomName(type) && !chipManager->findPrototype(type)) {
                note(QV::formatString("ERROR: Chips names '%s', which is no chip prototype; skipped",
                                      type.c_str()));
            } else if (onBoard) {
                descriptions.push_back(std::move(description));
            }
        }
        lua_pop(L, 1);
    }
    if (rows.empty() || script.failed()) return;
    for (int attempt = 0; attempt < kPlacementAttempts; ++attempt) {
        if (placeChips(descriptions)) break;
    }
}

bool GameField::placeChips(const std::vector<ChipDescription>& descriptions) {
    const size_t replacementLimit = chipManager->colourPrototypes.size();
    std::vector<Chip*> placed;
    placed.reserve(descriptions.size());
    for (const ChipDescription& description : descriptions) {
        Cell* cell = cellAt(description.column, description.row);
        if (!cell) continue;
        if (cell->chip) {
            cell->chip->destroyed = 1;
            cell->chip = nullptr;
        }
        Chip* chip = chipManager->createChip(description);
        if (!chip) continue;  // no colour in the random sequence
        cell->chip = chip;
        if (isRandomName(description.prototypeName)) {
            size_t replacements = 0;
            while (formsRun(this, chip) && replacements < replacementLimit) {
                chip->destroyed = 1;
                ChipDescription fixed = description;
                fixed.prototypeName = QV::formatString("Simple_%c", kReplacementLetters[replacements % 6]);
                ++replacements;
                Chip* replacement = chipManager->createChip(fixed);
                if (!replacement) {
                    // The fixed colour is not loaded: keep the chip it replaces.
                    chip->destroyed = 0;
                    continue;
                }
                chip = replacement;
                cell->chip = chip;
            }
        }
        placed.push_back(chip);
    }
    for (Chip* chip : placed) {
        if (!chip->destroyed && formsRun(this, chip)) return false;
    }
    std::pair<Cell*, Cell*> move = moveHint->findMove();
    return move.first != nullptr;
}

void GameField::startCellAnimations() {
    for (int row = gridHeight; row >= 1; --row) {
        for (int column = 0; column < gridWidth; ++column) {
            if (Cell* cell = cellAt(column, row)) startCellAnimation(cell);
        }
    }
}

void GameField::startCellAnimation(Cell* cell) {
    const float size = static_cast<float>(cellSize);
    cell->position = {size * cell->column, size * cell->row};
    auto animation = std::make_unique<QV::Animation>();
    animation->bind("pos", &cell->position);
    animation->bind("scale", &cell->scale);
    animation->bind("angle", &cell->angle);
    animation->bind("color", &cell->colour);
    animation->mLoop = false;
    const float wait =
        1.0f - static_cast<float>(cell->column + cell->row) / static_cast<float>(gridHeight + gridWidth);
    for (float duration : {wait, 0.25f, 0.25f, 0.0f}) animation->addFrame(duration);
    const QV::Vector2<float> start = cell->position - QV::Vector2<float>(256.0f, 128.0f);
    for (uint32_t key : {0u, 1u}) {
        animation->keyValue<QV::Vector2<float>>("pos", key) = start;
        animation->keyValue<QV::Vector2<float>>("scale", key) = {0.0f, 0.0f};
        animation->keyValue<float>("angle", key) = 180.0f;
        animation->keyValue<QV::Color>("color", key) = QV::Color(1.0f, 1.0f, 1.0f, 0.0f);
    }
    animation->keyValue<QV::Vector2<float>>("pos", 2) = cell->position - QV::Vector2<float>(0.0f, 128.0f);
    animation->keyValue<QV::Vector2<float>>("scale", 2) = {0.5f, 0.5f};
    animation->keyValue<float>("angle", 2) = 90.0f;
    animation->keyValue<QV::Color>("color", 2) = QV::Color(1.0f, 1.0f, 1.0f, 0.0f);
    animation->keyValue<QV::Vector2<float>>("pos", 3) = cell->position;
    animation->keyValue<QV::Vector2<float>>("scale", 3) = {1.0f, 1.0f};
    animation->keyValue<float>("angle", 3) = 0.0f;
    animation->keyValue<QV::Color>("color", 3) = QV::Color(1.0f, 1.0f, 1.0f, 1.0f);
    animation->mPlaying = true;
    cell->animation = std::move(animation);
}
