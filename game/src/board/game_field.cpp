#include "board/game_field.h"

#include <cmath>

#include "board/behavior_kind.h"
#include "board/board_fatal.h"
#include "board/board_host.h"
#include "board/chip.h"
#include "board/chip_appearence.h"
#include "board/chip_manager.h"
#include "board/drawable.h"
#include "board/drawable_factory.h"
#include "format_string.h"
#include "board/game_field_effect.h"
#include "log_system.h"
#include "board/lua_fields.h"
#include "lua_script2.h"
#include "board/move_hint.h"
#include "sound_system/sound_manager.h"
#include "board/task.h"

namespace {

const char* const kWaveEffectFiles[GameField::kWaveEffectCount] = {
    "wave_hor_fx", "wave_hor_fx", "wave_ver_fx", "wave_ver_fx",
    "wave_tl_fx",  "wave_tl_fx",  "wave_tr_fx",  "wave_tr_fx",
};

// Lua instructions gamefield_lua may run: a table of numbers takes a handful.
constexpr long kParameterScriptWork = 20000000;
// The longest first suspension a board may start with.
constexpr float kMostSuspendSeconds = 60.0f;

void note(const std::string& line) {
    if (QV::LogSystem* log = QV::LogSystem::instancePointer()) log->write(line);
}

// The held resource of that name, else a new one.
int holdOrLoadSound(const std::string& name, int priority) {
    QV::SoundManager* sound = QV::SoundManager::instancePointer();
    if (!sound) return 0;
    int id = sound->acquireResource(name);
    if (id != 0) return id;
    QV::SoundDescription description;
    description.fileName = name;
    description.volume = 1.0f;
    description.priority = priority;
    return sound->loadResource(description);
}

}  // namespace

GameField::GameField(BoardHost* owner) : level(owner) {
    // A fatal error while building leaves no destructor to run.
    try {
        initialize();
    } catch (...) {
        release();
        throw;
    }
}

void GameField::initialize() {
    chipManager = ChipManager::instance();
    // A destroyed wall keeps its cell until the next rebuild, which waits
    // while the board is suspended; a chip handed out again must lose it.
    chipManager->reuseObserver = [this](Chip* chip) { forgetChip(chip); };
    chipManager->reuseObserverOwner = this;
    note("void GameField::initialize() -begin");
    note("ChipManager initialized...");
    taskManager = std::make_unique<TaskManager>();
    appearances = std::make_unique<ChipAppearenceSet>(this);
    moveHint = std::make_unique<MoveHint>(this);
    freeDrawables.reserve(100);
    note("void GameField::initialize() -end");
    for (int i = 0; i < kWaveEffectCount; ++i) {
        waveEffects[i] = createDrawable("ParticleFX", kWaveEffectFiles[i], "", "", 20);
    }
    loadSounds();
    loadParameters();
    wrongClickSound = holdOrLoadSound("wrong_click_sound", 0);
}

void GameField::loadSounds() {
    tileDestroySound = holdOrLoadSound("tile_destroy_sound", 11);
    if (QV::SoundManager* sound = QV::SoundManager::instancePointer()) {
        // Looked up only; these references are given back with the field.
        clickMissSound = sound->acquireResource("click_miss_sound");
        for (int i = 0; i < 9; ++i) {
            comboSounds[i] = sound->acquireResource(QV::formatString("combo%i_sound", i + 3));
        }
    }
}

void GameField::loadParameters() {
    QV::LuaScript2 script(QV::createLuaState());
    script.limitWork(kParameterScriptWork);
    if (!script.loadScript("gamefield_lua", "default")) {
        BOARD_FATAL(script.workSpent() ? "Failed to load config file gamefield_lua: " + script.readError()
                                       : std::string("Failed to load config file"));
    }
    if (!script.openTable("Parameters")) {
        BOARD_FATAL(script.failed() ? "gamefield_lua: cannot read Parameters: " + script.readError()
                                    : std::string("gamefield_lua has no Parameters table"));
    }
    readIntField(script, "gridWidth", &gridWidth);
    readIntField(script, "gridHeight", &gridHeight);
    readIntField(script, "cellSize", &cellSize);
    readFloatField(script, "chipInitialMovingSpeed", &chipInitialMovingSpeed);
    readFloatField(script, "estimateSuspendTime", &suspendTime);
    readFloatField(script, "chipAcceleration", &chipAcceleration);
    readFlagField(script, "drawBehaviors", &drawBehaviors);
    readFloatField(script, "maxChipOffset", &maxChipOffset);
    readFloatField(script, "chipHotspotPeriod", &chipHotspotPeriod);
    readFloatField(script, "chipHotspotAnimationSpeed", &chipHotspotAnimationSpeed);
    readFloatField(script, "cellHotspotPeriod", &cellHotspotPeriod);
    readFloatField(script, "progressbarFlaskHeight", &progressbarFlaskHeight);
    readFloatField(script, "hintPeriod", &hintPeriod);
    readFloatField(script, "chipHotspotDelayCoeff", &chipHotspotDelayCoeff);
    readFloatField(script, "comboTimerAttenuation", &comboTimerAttenuation);
    readFloatField(script, "comboTimerInitialValue", &comboTimerInitialValue);
    readFloatField(script, "fallShaking", &fallShaking);
    readFloatField(script, "fallShakingTime", &fallShakingTime);
    readFloatField(script, "boomShakePower", &boomShakePower);
    readFloatField(script, "boomShakeTime", &boomShakeTime);
    script.closeTable();
    if (script.failed()) BOARD_FATAL("gamefield_lua: cannot read Parameters: " + script.readError());
    // Cells keep their column and row in bytes; a board outside these bounds
    // cannot be built.
    if (gridWidth < 1 || gridWidth > 255) {
        BOARD_FATAL(QV::formatString("gamefield_lua: gridWidth must be 1..255, not %d", gridWidth));
    }
    if (gridHeight < 1 || gridHeight > 255) {
        BOARD_FATAL(QV::formatString("gamefield_lua: gridHeight must be 1..255, not %d", gridHeight));
    }
    if (cellSize < 1) {
        BOARD_FATAL(QV::formatString("gamefield_lua: cellSize must be at least 1, not %d", cellSize));
    }
    // A negative or NaN acceleration stops falling chips for ever, and a long
    // first suspension holds the board still: neither is a board to play.
    if (!(chipAcceleration >= 0.0f) || !std::isfinite(chipAcceleration)) {
        BOARD_FATAL(QV::formatString("gamefield_lua: chipAcceleration must be a number of at least 0, not %g",
                                     static_cast<double>(chipAcceleration)));
    }
    if (!(suspendTime >= 0.0f && suspendTime <= kMostSuspendSeconds)) {
        BOARD_FATAL(QV::formatString("gamefield_lua: estimateSuspendTime must be 0..%g seconds, not %g",
                                     static_cast<double>(kMostSuspendSeconds), static_cast<double>(suspendTime)));
    }
}

GameField::~GameField() { release(); }

void GameField::release() {
    // Effects may point into the board; they go first.
    headlessEffects.reset();
    clear();
    moveHint.reset();
    if (chipManager && chipManager->reuseObserverOwner == this) {
        chipManager->reuseObserver = nullptr;
        chipManager->reuseObserverOwner = nullptr;
    }
    chipManager = nullptr;
    taskManager.reset();
    appearances.reset();
    for (Drawable*& effect : waveEffects) {
        delete effect;
        effect = nullptr;
    }
    for (FreeDrawable& free : freeDrawables) delete free.drawable;
    freeDrawables.clear();
    if (QV::SoundManager* sound = QV::SoundManager::instancePointer()) {
        sound->releaseResource(wrongClickSound);
        sound->releaseResource(tileDestroySound);
        sound->releaseResource(clickMissSound);
        for (int id : comboSounds) sound->releaseResource(id);
    }
    wrongClickSound = tileDestroySound = clickMissSound = 0;
    for (int& id : comboSounds) id = 0;
}

void GameField::clear() {
    rows.clear();
    selectedChip = nullptr;
    if (taskManager) taskManager->clear();
    // Animations and effects may point at the chips released below.
    if (appearances) appearances->clear();
    if (headlessEffects) headlessEffects->clear();
    if (ChipManager* manager = ChipManager::instancePointer()) {
        manager->available.clear();
        // Queued drops belong to this level, not to the next or a replay.
        manager->spawnQueue.clear();
        manager->releaseChips();
    }
}

void GameField::forgetChip(Chip* chip) {
    for (std::vector<Cell>& line : rows) {
        for (Cell& cell : line) {
            if (cell.chip == chip) cell.chip = nullptr;
        }
    }
    if (selectedChip == chip) selectedChip = nullptr;
}

Cell* GameField::getCell(float column, float row) const {
    if (!(std::fabs(column) < 1e9f) || !(std::fabs(row) < 1e9f)) return nullptr;
    return cellAt(static_cast<int>(column), static_cast<int>(row));
}

Cell* GameField::cellAt(int column, int row) const {
    if (column < 0 || column >= gridWidth || row < 0 || row > gridHeight) return nullptr;
    if (static_cast<size_t>(row) >= rows.size()) return nullptr;
    const std::vector<Cell>& line = rows[static_cast<size_t>(row)];
    if (static_cast<size_t>(column) >= line.size()) return nullptr;
    return const_cast<Cell*>(&line[static_cast<size_t>(column)]);
}

bool GameField::hasEmptyOrMovingCell() const {
    for (int row = 1; row <= gridHeight; ++row) {
        for (int column = 0; column < gridWidth; ++column) {
            const Cell* cell = cellAt(column, row);
            if (!cell || cell->solidity <= 0) continue;
            if (!cell->chip || cell->chip->moveState != 0) return true;
        }
    }
    return false;
}

bool GameField::hasBombStage2Chip() const {
    for (int row = gridHeight; row >= 0; --row) {
        for (int column = 0; column < gridWidth; ++column) {
            const Cell* cell = cellAt(column, row);
            if (cell && cell->chip && cell->chip->hasBehavior(kBombStage2)) return true;
        }
    }
    return false;
}

Mode* GameField::mode() const { return level ? level->mode() : nullptr; }

int GameField::openDialogCount() const { return level ? level->openDialogCount() : 0; }

void GameField::onPointClicked(const QV::Vector2<float>& point) {
    if (point.x < 0.0f || point.y < 0.0f || cellSize <= 0) return;
    onCellClicked(static_cast<int>(point.x / static_cast<float>(cellSize)),
                  static_cast<int>(point.y / static_cast<float>(cellSize)));
}
