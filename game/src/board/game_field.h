#pragma once

#include <memory>
#include <string>
#include <vector>

#include "board/cell.h"
#include "vector2.h"

class BoardHost;
struct ChipDescription;
class Chip;
class ChipAppearenceSet;
class ChipManager;
class Drawable;
class GameFieldEffectList;
class GameFieldRenderer;
class Mode;
class MoveHint;
class TaskManager;

namespace QV {
class LuaScript2;
}

// The match-3 board of one level: the grid, the tasks, the selection, the
// timers that gate falling and refill, the hint and the entry animations.
// Column first everywhere: a cell is (column, row); row 0 is an extra row
// above the board.
class GameField {
public:
    static constexpr int kWaveEffectCount = 8;

    explicit GameField(BoardHost* level);
    GameField(const GameField&) = delete;
    GameField& operator=(const GameField&) = delete;
    virtual ~GameField();

    void initialize();
    void loadSounds();
    void loadParameters();
    // Loads a level script by its resource name; false with lastError set
    // when the script does not run far enough to define its table.
    bool loadLevel(const std::string& levelScriptName);
    void clear();
    // Drops every cell link and the selection that still name this chip.
    void forgetChip(Chip* chip);

    Cell* getCell(float column, float row) const;
    Cell* cellAt(int column, int row) const;
    // A board position (in cells) in window pixels, where the renderer draws it.
    QV::Vector2<float> cellToScreen(const QV::Vector2<float>& position) const;
    bool isSuspended() const { return suspendTime > 0.0f; }
    bool hasEmptyOrMovingCell() const;
    bool hasBombStage2Chip() const;
    Mode* mode() const;
    int openDialogCount() const;

    // Match search and destruction.
    bool destroyMatches(bool forced);
    void damageCell(Cell* cell);
    void addDestroyChipInCellTask(int column, int row, float delay);
    void spawnDestroyDrawables(Chip* chip);
    void spawnEffectAtCell(Cell* cell, int index);
    void updateComboTimer(float dt);
    static void destroyCellLater(GameField* field, Cell* cell, Chip* origin, float delay,
                                 float detonationBase);

    // Level table readers.
    void readLevelTable(QV::LuaScript2& script);
    void readGrid(QV::LuaScript2& script);
    void buildGrid();
    void readCells(QV::LuaScript2& script);
    void readAvailableChips(QV::LuaScript2& script);
    void readChips(QV::LuaScript2& script);
    void rebuildCells();
    void startCellAnimations();
    void startCellAnimation(Cell* cell);

    // Clicks: selection, then a swap with an orthogonal neighbour.
    void onCellClicked(int column, int row);
    void onPointClicked(const QV::Vector2<float>& point);

    // The frame.
    void update(float dt);
    void updateChipFall(Chip* chip, float dt);
    Cell* findFallTarget(const Chip* chip, int column, int row) const;
    void spawnChip(Cell* cell, int column, int firstRow);
    int firstPlayableRow(int column) const;
    void updateChipShakes(float dt);
    void updateFreeDrawables(float dt);
    void updateCellAnimations(float dt);
    void refill();
    bool hasColumnHold(int column) const;

    // The shuffle; false when no two plain chips share a colour.
    bool mixChips();

    bool drawBehaviors = true;
    ChipManager* chipManager = nullptr;
    std::vector<ColumnHold> columnHolds;
    std::vector<std::vector<Cell>> rows;
    Chip* selectedChip = nullptr;
    int gridWidth = 21;
    int gridHeight = 15;
    int cellSize = 43;
    float chipInitialMovingSpeed = 7.5f;
    float suspendTime = 0.0f;
    std::unique_ptr<TaskManager> taskManager;
    float chipAcceleration = 20.0f;
    float maxChipOffset = 0.5f;
    bool levelRunning = false;
    bool refillEnabled = false;
    bool fallEnabled = false;
    float fallShaking = 0.08f;
    float fallShakingTime = 0.15f;
    float boomShakePower = 0.75f;
    float boomShakeTime = 0.6f;
    BoardHost* level = nullptr;
    float chipHotspotPeriod = 5.0f;
    float chipHotspotAnimationSpeed = 1.0f;
    float hotspotTime = 0.0f;
    float cellHotspotPeriod = 5.0f;
    float progressbarFlaskHeight = 440.0f;
    std::vector<QV::Vector2<float>*> torchPoints;
    std::string levelName;
    std::vector<FreeDrawable> freeDrawables;
    std::unique_ptr<ChipAppearenceSet> appearances;
    float idleTime = 0.0f;
    std::unique_ptr<MoveHint> moveHint;
    float hintPeriod = 5.0f;
    float chipHotspotDelayCoeff = 1.0f;
    // A column hold exists or a chip moves.
    bool unsettled = false;
    float comboTime = 0.0f;
    float comboTimerInitialValue = 1.0f;
    float comboTimerAttenuation = 1.0f;
    int comboCount = 0;
    int lastClickedColumn = -1;
    int lastClickedRow = -1;
    GameFieldRenderer* renderer = nullptr;
    Drawable* waveEffects[kWaveEffectCount] = {};
    int tileDestroySound = 0;
    int wrongClickSound = 0;
    float levelTime = 0.0f;
    bool levelBegun = false;
    bool tileSoundPlayed = false;
    float fallPauseTime = 0.0f;
    // A due blocking task was seen in the last frame.
    bool busy = false;
    int clickMissSound = 0;
    int comboSounds[9] = {};
    // Why the last loadLevel failed.
    std::string lastError;

    // The field effects: the renderer's list, or, without a renderer, the
    // field's own list, which GameField::update advances and nothing draws.
    GameFieldEffectList* effectList();
    std::unique_ptr<GameFieldEffectList> headlessEffects;

    // Calls into the renderer; they do nothing while no renderer is set.
    void rendererClearQueue();
    void rendererClearEffects();
    void rendererPlayHighlight();
    void rendererAddExplosionDistortion(const Chip* chip);
    void rendererSpawnTileExplosion(const Cell* cell);

private:
    // Frees what the field holds; also when building it failed half way.
    void release();
    bool placeChips(const std::vector<ChipDescription>& descriptions);
};
