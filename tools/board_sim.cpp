// board_sim: the board headless, driven by commands (a file argument or
// standard input, one a line, '#' comments); prints text. Commands: content,
// mode, counter, dt, load, ready, set refill|fall 0|1 (0 holds the flag off
// until a 1, since a swap sets both again), click, run, settle [seconds],
// mix, hint, selection, events, print, dump, draw, dialogs, quit; in "mode main"
// also helpers [first words...], windows, result, close. "mode bonus" is the plain
// mode with the bonus-chip rules answering the board. A command error
// prints "error: <why>" and the run goes on.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "board/behavior.h"
#include "board/board_fatal.h"
#include "board/board_host.h"
#include "board/board_random.h"
#include "board/board_sound.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/chip_appearence.h"
#include "board/chip_selector.h"
#include "config_manager.h"
#include "file_system.h"
#include "format_string.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "log_system.h"
#include "board/move_hint.h"
#include "object_factory.h"
#include "particle_system.h"
#include "board/plain_mode.h"
#include "random15.h"
#include "report_assert.h"
#include "board/task.h"
#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "dialogs/dialog_window.h"
#include "dialogs/dialog_window_manager.h"
#include "flow/game_level.h"
#include "flow/game_state_manager.h"
#include "flow/main_mode.h"
#include "game_helpers/bonus_chip_helper.h"
#include "game_helpers/game_helper.h"
#include "lex_binded_function_manager.h"
#include "player/game_properties.h"
#include "player/platform_config.h"

namespace fs = std::filesystem;

namespace {

// The most frames one run or settle command may ask for.
constexpr long kMostFrames = 1000000;

// Log lines go to standard error, without the time prefix.
class StderrLogStream : public QV::LogStream {
public:
    void write(const std::string& message) override { std::fprintf(stderr, "log: %s\n", message.c_str()); }
    int kind() const override { return 8; }
};

struct CommandError {
    std::string why;
};

[[noreturn]] void fail(const std::string& why) { throw CommandError{why}; }

// The game's own content: $QV_MEDIA_DIR when set, else the nearest
// "media/filelist.lua" at or above the program's folder, else the media/ of
// the source tree the program was built from. Empty when none has it;
// `looked` then says where it looked.
std::string findGameMedia(std::string* looked) {
    std::error_code ec;
    auto holdsContent = [&ec](const fs::path& dir) { return fs::exists(dir / "filelist.lua", ec); };
    if (const char* env = std::getenv("QV_MEDIA_DIR")) {
        if (holdsContent(env)) return env;
        *looked = std::string("$QV_MEDIA_DIR '") + env + "'";
        return std::string();
    }
    fs::path dir = fs::read_symlink("/proc/self/exe", ec).parent_path();
    *looked = "'media/' in '" + dir.string() + "' and the folders above it";
    for (; !dir.empty(); dir = dir.parent_path()) {
        if (holdsContent(dir / "media")) return (dir / "media").string();
        if (dir == dir.root_path()) break;
    }
#ifdef QV_SOURCE_DIR
    const fs::path source = fs::path(QV_SOURCE_DIR) / "media";
    if (holdsContent(source)) return source.string();
    *looked += ", '" + source.string() + "'";
#endif
    return std::string();
}

std::string withSlash(const std::string& dir) { return !dir.empty() && dir.back() == '/' ? dir : dir + "/"; }

// "level_5x5.lua" -> "level_5x5_lua": the extension becomes the suffix.
std::string resourceNameOf(const std::string& fileName) {
    std::string name = fileName;
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name[dot] = '_';
    return name;
}

class SimHost : public BoardHost {
public:
    Mode* mode() override { return currentMode; }
    int openDialogCount() override { return dialogCount; }
    void increaseDialogCount() override { ++dialogCount; }
    void decreaseDialogCount() override {
        if (dialogCount > 0) --dialogCount;
    }
    Mode* currentMode = nullptr;
    int dialogCount = 0;
};

// The plain mode whose bonus-chip questions the bonus-chip rules answer.
class BonusMode : public PlainMode {
public:
    using PlainMode::PlainMode;
    bool createBonusChip(MatchLines& match) override {
        const bool made = rules && rules->createBonusChipFromMatch(match);
        emit(QV::formatString("createBonusChip %d %d -> %d", static_cast<int>(match.rowRun.size()),
                              static_cast<int>(match.columnRun.size()), made ? 1 : 0));
        return made;
    }
    bool tryFuseBonusChips(Chip* selected, Chip* clicked) override {
        const bool fused = rules && rules->tryFuseBonusChips(selected, clicked);
        emit(QV::formatString("tryFuseBonusChips %d %d %d %d -> %d", static_cast<int>(selected->position.x),
                              static_cast<int>(selected->position.y), static_cast<int>(clicked->position.x),
                              static_cast<int>(clicked->position.y), fused ? 1 : 0));
        return fused;
    }
    BonusChipHelper* rules = nullptr;
};

// ---- "mode main": the game's own level state, mode and rules, headless ----

// A level window without pictures: its show and hide end at the next frame.
class HeadlessWindow : public DialogWindow {
public:
    explicit HeadlessWindow(const std::string& className) : DialogWindow(makeScene(), className), name(className) {}
    ~HeadlessWindow() override {
        // The scene is this window's own: its markers go before the base lets them go.
        stopListening();
        mShowMarker = mHideMarker = nullptr;
        delete mScene;
    }
    void update(float dt) override { mScene->update(dt); }
    const std::string name;

private:
    static AE::ISceneNode* makeScene() {
        auto* scene = new AE::ISceneNode();
        for (const char* marker : {"init", "show", "hide"}) scene->addMarker(new AE::Marker(marker));
        return scene;
    }
};

// Where a level returns to; the map itself is not part of the simulator.
class MapStandIn : public IGameState {
public:
    void load() override { setLoaded(true); }
    void unload() override { setLoaded(false); }
    void update(float) override {}
    void render() override {}
    std::string getName() const override { return "MainModeMap"; }
};

// The game's states, windows, profile and main mode around one level state.
class MainModeWorld {
public:
    explicit MainModeWorld(std::function<void(const std::string&)> trace) {
        mCommands = std::make_unique<QV::LexBindedFunctionManager>();
        mPlatform = std::make_unique<PlatformConfig>();
        mWindows = std::make_unique<DialogWindowManager>();
        mStates = std::make_unique<GameStateManager>(1726, 970);
        mLevel = new GameLevel();
        mStates->registerState(new MapStandIn());
        mStates->registerState(mLevel);
        mProperties = std::make_unique<GameProperties>();
        mode = dynamic_cast<MainMode*>(mProperties->findMode("MainMode"));
        if (!mode) return;
        mProperties->setCurrentMode(mode);
        mode->trace = std::move(trace);
        for (const char* name : {"WinLevelWindow", "FailLevelWindow", "PlayLevelWindow", "IngameMenuWindow"}) {
            mStandIns.push_back(std::make_unique<HeadlessWindow>(name));
            HeadlessWindow* window = mStandIns.back().get();
            mode->setLevelWindowOpener(name, [window](const LevelWindowRequest&) {
                window->mResult = 0;
                window->show(true);
                return window;
            });
        }
    }

    ~MainModeWorld() {
        if (mode) {
            mode->trace = nullptr;
            mProperties->setCurrentMode(nullptr);
        }
        mStates.reset();  // the level state and the rules go first
        mStandIns.clear();
        mProperties.reset();
        mWindows.reset();
        mPlatform.reset();
        mCommands.reset();
    }

    void step(float dt) {
        mWindows->update(dt);
        mStates->step(dt);
    }

    GameLevel* level() const { return mLevel; }
    bool levelShown() const { return mStates->getCurrentState() == mLevel && mLevel->isLoaded(); }
    DialogWindowManager& windows() const { return *mWindows; }

    HeadlessWindow* standIn(const std::string& name) const {
        for (const auto& window : mStandIns)
            if (window->name == name) return window.get();
        return nullptr;
    }

    static std::string windowName(const DialogWindow* window) {
        auto* standIn = dynamic_cast<const HeadlessWindow*>(window);
        return standIn ? standIn->name : std::string("DialogWindow");
    }

    MainMode* mode = nullptr;

private:
    std::unique_ptr<QV::LexBindedFunctionManager> mCommands;
    std::unique_ptr<PlatformConfig> mPlatform;
    std::unique_ptr<DialogWindowManager> mWindows;
    std::unique_ptr<GameStateManager> mStates;
    std::unique_ptr<GameProperties> mProperties;
    std::vector<std::unique_ptr<HeadlessWindow>> mStandIns;
    GameLevel* mLevel = nullptr;  // owned by the state manager
};

class BoardSim {
public:
    BoardSim() {
        mLog = std::make_unique<QV::LogSystem>();
        for (QV::LogStream*& stream : mLog->streams()) delete stream;
        mLog->streams().clear();
        mLog->streams().push_back(new StderrLogStream());
        setBoardFatalHandler([](const std::string& why) { throw BoardFatalError{why}; });
        // The engine's loaders report content errors the same way.
        QV::setFatalReportHandler([](const std::string& why, const std::string& file, int line) {
            throw BoardFatalError{!why.empty() ? why
                                               : QV::formatString("a fatal error at %s:%d",
                                                                  fs::path(file).filename().c_str(), line)};
        });
        mFactory = std::make_unique<QV::ObjectFactory>();
        mMode = std::make_unique<PlainMode>([this](const std::string& line) { onModeLine(line); });
        mHost.currentMode = mMode.get();
        setBoardSoundNameObserver([this](const std::string& name) { onModeLine("sound " + name); });
        std::string looked;
        mGameMedia = findGameMedia(&looked);
        if (mGameMedia.empty()) {
            mContentError = "no game content: no media/filelist.lua in " + looked;
            std::fprintf(stderr, "board_sim: %s\n", mContentError.c_str());
            return;
        }
        try {
            openContent(mGameMedia);
        } catch (const BoardFatalError& error) {
            dropContent("the game content '" + mGameMedia + "' failed: " + error.description);
            std::fprintf(stderr, "board_sim: %s\n", mContentError.c_str());
        }
    }

    ~BoardSim() {
        setBoardSoundNameObserver(BoardSoundNameObserver());
        mWorld.reset();
        mField.reset();
        mBonusRules.reset();
        mBonusMode.reset();
        dropChipManager();
        mParticles.reset();
        mConfig.reset();
        mFiles.reset();
        mFactory.reset();
        QV::setFatalReportHandler(QV::FatalReportHandler());
        setBoardFatalHandler(BoardFatalHandler());
    }

    // Runs one command line; false to quit.
    bool run(const std::string& line) {
        std::istringstream in(line);
        std::string command;
        if (!(in >> command) || command[0] == '#') return true;
        std::vector<std::string> args;
        for (std::string word; in >> word;) args.push_back(word);
        try {
            return dispatch(command, args);
        } catch (const CommandError& error) {
            std::printf("error: %s\n", error.why.c_str());
        } catch (const BoardFatalError& error) {
            std::printf("error: %s\n", error.description.c_str());
            mField.reset();
        }
        std::fflush(stdout);
        return true;
    }

private:
    bool dispatch(const std::string& command, const std::vector<std::string>& args) {
        if (command == "quit") return false;
        if (mWorld && dispatchMain(command, args)) {
            std::fflush(stdout);
            return true;
        }
        if (command == "content") {
            need(args, 1);
            contentCommand(args[0]);
        } else if (command == "mode") {
            need(args, 1);
            modeCommand(args[0]);
        } else if (command == "counter") {
            need(args, 1);
            uint64_t value = parseCounter(args[0]);
            fixBoardPerformanceCounter(value);
            mPendingSeed = true;
            mSeed = static_cast<uint32_t>(value & 0xFFFFFFFFu);
        } else if (command == "dt") {
            need(args, 1);
            double value = parseNumber(args[0]);
            if (!(value > 0.0) || value > 0.033) fail("dt must be above 0 and at most 0.033");
            mDt = static_cast<float>(value);
        } else if (command == "load") {
            need(args, 1);
            loadCommand(args[0]);
        } else if (command == "print") {
            printCommand();
        } else if (command == "dump") {
            dumpCommand();
        } else if (command == "draw") {
            need(args, 1);
            drawCommand(args[0]);
        } else if (command == "ready") {
            readyCommand();
        } else if (command == "set") {
            need(args, 2);
            setCommand(args[0], args[1]);
        } else if (command == "click") {
            need(args, 2);
            field()->onCellClicked(parseInt(args[0]), parseInt(args[1]));
        } else if (command == "run") {
            need(args, 1);
            runCommand(args[0]);
        } else if (command == "settle") {
            settleCommand(args.empty() ? std::string() : args[0]);
        } else if (command == "mix") {
            std::printf("mix %d\n", field()->mixChips() ? 1 : 0);
        } else if (command == "hint") {
            hintCommand();
        } else if (command == "selection") {
            selectionCommand();
        } else if (command == "dialogs") {
            std::printf("dialogs %d\n", mHost.dialogCount);
        } else if (command == "events") {
            for (const std::string& line : mEvents) std::printf("%s\n", line.c_str());
            mEvents.clear();
        } else {
            fail("unknown command '" + command + "'");
        }
        std::fflush(stdout);
        return true;
    }

    static void need(const std::vector<std::string>& args, size_t count) {
        if (args.size() < count) fail("missing argument");
    }

    static double parseNumber(const std::string& text) {
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (!end || *end != '\0' || !std::isfinite(value)) fail("not a number: '" + text + "'");
        return value;
    }

    static int parseInt(const std::string& text) {
        char* end = nullptr;
        long value = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || !end || *end != '\0' || value < -1000000 || value > 1000000) {
            fail("not a whole number: '" + text + "'");
        }
        return static_cast<int>(value);
    }

    static uint64_t parseCounter(const std::string& text) {
        char* end = nullptr;
        unsigned long long value = std::strtoull(text.c_str(), &end, 10);
        if (text.empty() || text[0] == '-' || !end || *end != '\0') fail("not a counter value: '" + text + "'");
        return value;
    }

    void onModeLine(const std::string& line) {
        GameField* board = currentField();
        const float time = board ? board->levelTime : 0.0f;
        mEvents.push_back(QV::formatString("%lld %.4f %s", mFrame, static_cast<double>(time), line.c_str()));
    }

    // One board frame.
    void step() {
        ++mFrame;
        GameField* board = currentField();
        if (board && mHoldRefillOff) board->refillEnabled = false;
        if (board && mHoldFallOff) board->fallEnabled = false;
        if (mWorld) {
            mWorld->step(mDt);
        } else if (board) {
            // As in a level: the rules first, then the board.
            if (mBonusRules) mBonusRules->update(mDt);
            board->update(mDt);
        }
        board = currentField();
        if (board && mHoldRefillOff) board->refillEnabled = false;
        if (board && mHoldFallOff) board->fallEnabled = false;
    }

    void readyCommand() {
        GameField* board = field();
        const long long before = mFrame;
        if (mWorld) {
            // Until the limit's count-in is over and every chip has landed.
            auto isReady = [&]() { return mLimitReady && !mWorld->level()->isFading() && isSettled(board); };
            for (int i = 0; i < 100000 && !isReady(); ++i) {
                step();
                board = field();
            }
            if (!isReady()) fail("the level did not become ready");
            std::printf("ready %lld\n", mFrame - before);
            return;
        }
        for (int i = 0; i < 100000 && !board->levelBegun; ++i) step();
        if (!board->levelBegun) fail("the board did not become ready");
        std::printf("ready %lld\n", mFrame - before);
    }

    void setCommand(const std::string& what, const std::string& value) {
        GameField* board = field();
        if (value != "0" && value != "1") fail("set takes 0 or 1");
        // 0 holds the flag off (a swap would set it again) until a 1.
        if (what == "refill") {
            board->refillEnabled = value == "1";
            mHoldRefillOff = value == "0";
        } else if (what == "fall") {
            board->fallEnabled = value == "1";
            mHoldFallOff = value == "0";
        } else {
            fail("unknown setting '" + what + "'");
        }
    }

    long framesFor(const std::string& text) const {
        double seconds = parseNumber(text);
        if (seconds < 0.0 || seconds > 3600.0) fail("seconds must be 0..3600");
        // A hair under a whole frame still counts as one (decimal seconds of 1/60).
        const double frames = std::floor(seconds / static_cast<double>(mDt) + 0.01);
        if (frames > static_cast<double>(kMostFrames)) {
            fail(QV::formatString("%s s at dt %g is %.0f frames; a command runs at most %ld", text.c_str(),
                                  static_cast<double>(mDt), frames, kMostFrames));
        }
        return static_cast<long>(frames);
    }

    void runCommand(const std::string& seconds) {
        field();
        const long frames = framesFor(seconds);
        for (long i = 0; i < frames; ++i) step();
    }

    bool bonusChipsMerging() const {
        if (mBonusRules) return mBonusRules->isFusing();
        if (!mWorld) return false;
        for (GameHelper* helper : mWorld->level()->helpers()) {
            auto* rules = dynamic_cast<BonusChipHelper*>(helper);
            if (rules && rules->isFusing()) return true;
        }
        return false;
    }

    bool isSettled(GameField* board) const {
        // A shown window holds the board still.
        if (mWorld && mWorld->level()->dialogBlocksBoard()) return true;
        if (bonusChipsMerging()) return false;
        if (board->taskManager->size() > 0 || !board->columnHolds.empty() || board->suspendTime > 0.0f ||
            board->unsettled) {
            return false;
        }
        // The rules' flights over the board (chains) hold it until they land.
        if (mWorld && hasFlyingEffect(board)) return false;
        if (ChipAppearence* appearence = board->appearances->currentAppearence()) {
            if (!appearence->isFinished()) return false;
        }
        for (int row = 0; row <= board->gridHeight; ++row) {
            for (int column = 0; column < board->gridWidth; ++column) {
                const Cell* cell = board->cellAt(column, row);
                if (cell->chip && cell->chip->moveState != 0) return false;
                if (board->refillEnabled && row >= 1 && cell->solidity > 0 && !cell->chip) return false;
            }
        }
        return true;
    }

    static bool hasFlyingEffect(GameField* board) {
        for (const GameFieldEffect* effect : board->effectList()->getEffects())
            if (!effect->finished) return true;
        return false;
    }

    void settleCommand(const std::string& limit) {
        GameField* board = field();
        const long most = framesFor(limit.empty() ? "60" : limit);
        long frames = 0;
        // One frame first: a click queues work that the board sees next frame.
        do {
            if (frames >= most) break;
            step();
            ++frames;
        } while (!isSettled(board));
        // The level's end check looks at the rested board in the next frame.
        if (mWorld && isSettled(board)) step();
        if (isSettled(board)) {
            std::printf("settled %.4f\n", static_cast<double>(frames) * static_cast<double>(mDt));
        } else {
            std::printf("not settled\n");
        }
    }

    std::string cellOfPoint(const QV::Vector2<float>& point) const {
        const float size = static_cast<float>(currentField()->cellSize);
        return QV::formatString("%d %d", static_cast<int>(point.x / size), static_cast<int>(point.y / size));
    }

    void hintCommand() {
        GameField* board = field();
        const MoveHint& hint = *board->moveHint;
        std::pair<Cell*, Cell*> move = hint.findMove();
        if (hint.points.empty() && !move.first) {
            std::printf("hint none\n");
            return;
        }
        std::string line = "hint ";
        line += hint.points.size() >= 2 ? cellOfPoint(hint.points[0]) + " " + cellOfPoint(hint.points[1]) : "-";
        line += hint.shown ? " shown" : " hidden";
        line += " move ";
        line += move.first ? QV::formatString("%d %d %d %d", move.first->column, move.first->row,
                                              move.second->column, move.second->row)
                           : std::string("none");
        std::printf("%s\n", line.c_str());
    }

    void selectionCommand() {
        GameField* board = field();
        if (!board->selectedChip) {
            std::printf("none\n");
            return;
        }
        std::printf("%d %d\n", static_cast<int>(board->selectedChip->position.x),
                    static_cast<int>(board->selectedChip->position.y));
    }

    void contentCommand(const std::string& dir) {
        std::error_code ec;
        if (!fs::is_directory(dir, ec)) fail("no content directory '" + dir + "'");
        mWorld.reset();
        mField.reset();
        dropChipManager();
        const bool whole = fs::exists(fs::path(dir) / "filelist.lua", ec) && fs::exists(fs::path(dir) / "config.lua", ec);
        // Loose files lie over the game's own content.
        if (!whole && mGameMedia.empty()) fail(mContentError);
        try {
            openContent(whole ? fs::absolute(dir).string() : mGameMedia);
        } catch (const BoardFatalError& error) {
            // Half-read content is not kept: later commands say there is none.
            dropContent("the content '" + dir + "' failed: " + error.description);
            throw;
        }
        if (whole) return;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec)) {
            if (!entry.is_regular_file(ec)) continue;
            mFiles->addResource("default", resourceNameOf(entry.path().filename().string()),
                                fs::absolute(entry.path()).string());
        }
    }

    void openContent(const std::string& root) {
        mContentError.clear();
        mParticles.reset();
        mConfig.reset();
        mFiles.reset();
        QV::gContentDirectory = withSlash(fs::absolute(root).string());
        QV::gCurrentPlatformName.clear();
        mFiles = std::make_unique<QV::FileSystem>();
        mConfig = std::make_unique<QV::ConfigManager>();
        mConfig->load();
        mFiles->reloadFileTable();
        mParticles = std::make_unique<QV::ParticleSystem>();
        mParticles->setAutoUpdate(false);
    }

    void dropContent(const std::string& why) {
        mField.reset();
        dropChipManager();
        mParticles.reset();
        mConfig.reset();
        mFiles.reset();
        mContentError = why;
    }

    void dropChipManager() {
        mChipManager.reset();
        Behavior::clearRegistry();
        ChipSelector::clearCache();
    }

    void modeCommand(const std::string& name) {
        if (name == "plain" || name == "bonus") {
            mWorld.reset();
            mBonusRules.reset();
            mBonusMode.reset();
            mHost.currentMode = mMode.get();
            if (name == "bonus") {
                mBonusMode = std::make_unique<BonusMode>([this](const std::string& line) { onModeLine(line); });
                mBonusRules = std::make_unique<BonusChipHelper>(mBonusMode.get(), [this]() { return mField.get(); });
                mBonusMode->rules = mBonusRules.get();
                mHost.currentMode = mBonusMode.get();
            }
        } else if (name == "main") {
            startMainMode();
        } else {
            fail("unknown mode '" + name + "'");
        }
    }

    void ensureChipManager() {
        if (!mChipManager) {
            mChipManager = std::make_unique<ChipManager>();
            mChipManager->createdObserver = [this](const ChipPrototype& prototype, const Chip& chip) {
                onModeLine(QV::formatString("createChip %s %d %d", prototype.name.c_str(),
                                            static_cast<int>(chip.position.x), static_cast<int>(chip.position.y)));
            };
        }
    }

    void loadCommand(const std::string& level) {
        mField.reset();
        if (!mContentError.empty()) fail("no content: " + mContentError);
        ensureChipManager();
        if (mWorld) {
            loadMainLevel(level);
            return;
        }
        mFrame = 0;
        mEvents.clear();
        mHoldRefillOff = mHoldFallOff = false;
        mHost.dialogCount = 0;
        if (mBonusRules) mBonusRules->onLevelStart();
        if (mPendingSeed) {
            QV::seedRandom15(mSeed);
            mPendingSeed = false;
        }
        mField = std::make_unique<GameField>(&mHost);
        if (!mField->loadLevel(level + "_lua")) fail(mField->lastError);
        std::printf("loaded %dx%d\n", mField->gridWidth, mField->gridHeight);
    }

    GameField* currentField() const {
        if (mWorld) return mWorld->level()->getField();
        return mField.get();
    }

    GameField* field() {
        GameField* board = currentField();
        if (!board || board->rows.empty()) fail("no level loaded");
        return board;
    }

    // ---- mode main ----

    void startMainMode() {
        mWorld.reset();
        mHost.currentMode = mMode.get();
        mBonusRules.reset();
        mBonusMode.reset();
        mField.reset();
        ensureChipManager();
        mWorld = std::make_unique<MainModeWorld>([this](const std::string& line) {
            if (line == "onLimitReady") mLimitReady = true;
            if (line == "readLevelRules") mLimitReady = false;  // a level (re)starts
            onModeLine(line);
        });
        if (!mWorld->mode) {
            mWorld.reset();
            fail("the content's platform configuration has no MainMode");
        }
    }

    void loadMainLevel(const std::string& file) {
        mFrame = 0;
        mEvents.clear();
        mLimitReady = false;
        mHoldRefillOff = mHoldFallOff = false;
        if (mPendingSeed) {
            QV::seedRandom15(mSeed);
            mPendingSeed = false;
        }
        if (!mWorld->mode->startLevelByFile(file)) fail("no level '" + file + "' in the episodes");
        // A refused level goes back to the map in its first frame.
        for (int i = 0; i < 3 && mWorld->levelShown() && !mWorld->mode->getHelper(kHelperMoveLimit) &&
                        !mWorld->mode->getHelper(kHelperTimer);
             ++i)
            step();
        if (!mWorld->levelShown()) fail("the level '" + file + "' did not start");
        GameField* board = field();
        std::printf("loaded %dx%d\n", board->gridWidth, board->gridHeight);
    }

    bool dispatchMain(const std::string& command, const std::vector<std::string>& args) {
        if (command == "helpers") {
            // With words: only the rule objects whose line starts with one of them.
            // A rule with nothing on this level (no ice, no bombs) says nothing.
            for (GameHelper* helper : mWorld->level()->helpers()) {
                const std::string line = helper->describe();
                if (line.empty()) continue;
                bool wanted = args.empty();
                for (const std::string& word : args) wanted |= line.compare(0, word.size() + 1, word + " ") == 0;
                if (wanted) std::printf("%s\n", line.c_str());
            }
        } else if (command == "dialogs") {
            std::printf("dialogs %d\n", mWorld->level()->openDialogCount());
        } else if (command == "windows") {
            std::string line = "visible";
            for (DialogWindow* window : mWorld->windows().mVisible) line += " " + MainModeWorld::windowName(window);
            if (mWorld->windows().mVisible.empty()) line += " none";
            std::printf("%s\n", line.c_str());
            DialogWindow* pending = mWorld->windows().mPending;
            std::printf("pending %s\n", pending ? MainModeWorld::windowName(pending).c_str() : "none");
        } else if (command == "result") {
            const LevelOutcome& outcome = mWorld->mode->outcome();
            if (outcome.kind == LevelOutcome::Won) std::printf("won %d %d\n", outcome.score, outcome.starsGained);
            else if (outcome.kind == LevelOutcome::Failed) std::printf("failed %d\n", outcome.score);
            else std::printf("running\n");
        } else if (command == "close") {
            need(args, 2);
            HeadlessWindow* window = mWorld->standIn(args[0]);
            // A window on its way up is let finish appearing, as a player waits for its buttons.
            for (int i = 0; i < 600 && window && window->mState == DialogWindow::Showing; ++i) step();
            if (!window || window->mState != DialogWindow::Shown) fail("no shown window '" + args[0] + "'");
            window->mResult = parseInt(args[1]);
            window->hide();
        } else if (command == "menu") {
            // The in-level menu window, which Escape and the menu button open.
            mWorld->mode->openIngameMenu();
        } else if (command == "click") {
            need(args, 2);
            // The level's own gate: no clicks while a window or an in-level dialog is open.
            GameLevel* level = mWorld->level();
            GameField* board = field();
            if (level->dialogBlocksBoard() || level->openDialogCount() > 0 || level->isFading()) return true;
            const float size = static_cast<float>(board->cellSize);
            level->clickPoint(QV::Vector2<float>((parseInt(args[0]) + 0.5f) * size, (parseInt(args[1]) + 0.5f) * size));
        } else {
            return false;
        }
        return true;
    }

    static std::string chipToken(const Chip* chip) {
        std::string token(1, groupLetter(chip->group));
        bool plain = chip->behaviors.size() == 1 && chip->behaviors.back()->kind == kSimple;
        if (!plain) {
            token += ":";
            bool first = true;
            for (const Behavior* layer : chip->behaviors) {
                if (!first) token += "+";
                token += behaviorKindName(layer->kind);
                first = false;
            }
        }
        return token;
    }

    void printCommand() {
        GameField* board = field();
        for (int row = 0; row <= board->gridHeight; ++row) {
            std::string line;
            for (int column = 0; column < board->gridWidth; ++column) {
                const Cell* cell = board->cellAt(column, row);
                std::string token;
                if (cell->chip) {
                    token = chipToken(cell->chip);
                } else if (cell->solidity == 0) {
                    token = "#";
                } else if (cell->solidity < 0) {
                    token = "~";
                } else {
                    token = ".";
                }
                if (cell->solidity > 1) token += QV::formatString("/%d", cell->solidity);
                if (cell->chip && cell->chip->moveState != 0) token += "*";
                if (cell->chip && cell->chip->hasProperty("lock")) token += "!";
                if (column > 0) line += " ";
                line += token;
            }
            std::printf("%s\n", line.c_str());
        }
    }

    static std::string jsonString(const std::string& text) {
        std::string out = "\"";
        for (unsigned char c : text) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20) {
                out += QV::formatString("\\u%04x", c);
            } else {
                out += static_cast<char>(c);
            }
        }
        return out + "\"";
    }

    static std::string jsonNumber(float value) {
        if (!std::isfinite(value)) return "null";
        return QV::formatString("%g", static_cast<double>(value));
    }

    static std::string chipJson(const Chip* chip) {
        std::string kinds;
        for (const Behavior* layer : chip->behaviors) {
            if (!kinds.empty()) kinds += ",";
            kinds += jsonString(behaviorKindName(layer->kind));
        }
        std::string properties;
        for (const auto& entry : chip->properties) {
            if (!properties.empty()) properties += ",";
            std::string value = "null";
            const DataHolder& holder = entry.second;
            if (holder.type == DataHolder::kInt && holder.container) {
                value = QV::formatString("%d", holder.container->getInt());
            } else if (holder.type == DataHolder::kString && holder.container) {
                value = jsonString(holder.container->getString());
            } else if (holder.type == DataHolder::kChip) {
                value = jsonString("chip");
            }
            properties += jsonString(entry.first) + ":" + value;
        }
        return "{\"group\":" + QV::formatString("%d", chip->group) + ",\"kinds\":[" + kinds +
               "],\"position\":[" + jsonNumber(chip->position.x) + "," + jsonNumber(chip->position.y) +
               "],\"target\":[" + jsonNumber(chip->target.x) + "," + jsonNumber(chip->target.y) +
               "],\"moveState\":" + QV::formatString("%d", chip->moveState) +
               ",\"detonating\":" + QV::formatString("%d", chip->detonating) +
               ",\"destroyed\":" + QV::formatString("%d", chip->destroyed) + ",\"properties\":{" + properties +
               "}}";
    }

    void dumpCommand() {
        GameField* board = field();
        std::string out = QV::formatString("{\"width\":%d,\"height\":%d,\"cells\":[", board->gridWidth,
                                           board->gridHeight);
        bool first = true;
        for (int row = 0; row <= board->gridHeight; ++row) {
            for (int column = 0; column < board->gridWidth; ++column) {
                const Cell* cell = board->cellAt(column, row);
                if (!first) out += ",";
                first = false;
                out += QV::formatString("{\"column\":%d,\"row\":%d,\"solidity\":%d,\"chip\":", column, row,
                                        cell->solidity);
                out += cell->chip ? chipJson(cell->chip) : "null";
                out += "}";
            }
        }
        out += "]}";
        std::printf("%s\n", out.c_str());
    }

    void drawCommand(const std::string& countText) {
        double count = parseNumber(countText);
        if (count < 0 || count > 100000 || count != std::floor(count)) fail("draw count must be 0..100000");
        if (!mChipManager || !currentField()) fail("no level loaded");
        std::string line;
        for (int i = 0; i < static_cast<int>(count); ++i) {
            ChipPrototype* prototype = mChipManager->nextRandomPrototype();
            if (i > 0) line += " ";
            line += prototype ? prototype->name : "none";
        }
        std::printf("%s\n", line.c_str());
    }

    std::unique_ptr<QV::LogSystem> mLog;
    std::unique_ptr<QV::ObjectFactory> mFactory;
    std::unique_ptr<QV::FileSystem> mFiles;
    std::unique_ptr<QV::ConfigManager> mConfig;
    std::unique_ptr<QV::ParticleSystem> mParticles;
    std::unique_ptr<ChipManager> mChipManager;
    std::unique_ptr<PlainMode> mMode;
    std::unique_ptr<BonusMode> mBonusMode;
    std::unique_ptr<BonusChipHelper> mBonusRules;
    SimHost mHost;
    std::unique_ptr<GameField> mField;
    std::unique_ptr<MainModeWorld> mWorld;
    bool mLimitReady = false;
    std::vector<std::string> mEvents;
    // The game's content folder (empty when not found) and why no content can
    // be used (empty when it can).
    std::string mGameMedia;
    std::string mContentError;
    float mDt = 1.0f / 60.0f;
    long long mFrame = 0;
    bool mHoldRefillOff = false;
    bool mHoldFallOff = false;
    bool mPendingSeed = false;
    uint32_t mSeed = 0;
};

}  // namespace

int main(int argc, char** argv) {
    std::istream* input = &std::cin;
    std::ifstream file;
    if (argc > 1) {
        file.open(argv[1]);
        if (!file) {
            std::fprintf(stderr, "board_sim: cannot open '%s'\n", argv[1]);
            return 2;
        }
        input = &file;
    }
    BoardSim sim;
    for (std::string line; std::getline(*input, line);) {
        if (!sim.run(line)) break;
    }
    return 0;
}
