#include "flow/main_mode_windows.h"

#include "dialogs/buy_heart_window.h"
#include "dialogs/fail_level_window.h"
#include "dialogs/ingame_menu_window.h"
#include "dialogs/level_preview.h"
#include "dialogs/nomoves_level_window.h"
#include "dialogs/play_level_window.h"
#include "dialogs/win_level_window.h"
#include "flow/main_mode.h"
#include "flow/main_mode_map_state.h"
#include "format_string.h"
#include "log_system.h"
#include "player/game_properties.h"
#include "player/player_profile.h"

namespace {

// What the windows show of the request's level; false (logged) when its script has no level table.
bool previewOf(const MainMode& mode, const LevelWindowRequest& request, LevelPreview* preview) {
    if (!request.level) return false;
    const std::string script = request.level->mFile + mode.getSuffix() + "_lua";
    if (readLevelPreview(*request.level, script, preview)) return true;
    QV::logLine(QV::formatString("ERROR: The level script %s has no table GameField", script.c_str()));
    return false;
}

}  // namespace

MainModeWindows::MainModeWindows(MainMode& mode) : mMode(mode) {
    mWin = new WinLevelWindow();
    mFail = new FailLevelWindow();
    mNoMoves = new NomovesLevelWindow();
    mNoMoves->addListener(&mode);
    mMenu = new IngameMenuWindow();
    mHeart = new BuyHeartWindow(&mode);
    MainMode* owner = &mMode;
    BuyHeartWindow* heart = mHeart;
    mMode.setLevelWindowOpener("BuyHeartWindow", [heart](const LevelWindowRequest&) -> DialogWindow* {
        heart->show(false);
        return heart;
    });
    WinLevelWindow* win = mWin;
    FailLevelWindow* fail = mFail;
    mMode.setLevelWindowOpener("WinLevelWindow", [owner, win](const LevelWindowRequest& request) -> DialogWindow* {
        LevelPreview preview;
        if (!previewOf(*owner, request, &preview)) return nullptr;
        win->open(preview, request.score, request.silver);
        return win;
    });
    mMode.setLevelWindowOpener("FailLevelWindow", [owner, fail](const LevelWindowRequest& request) -> DialogWindow* {
        LevelPreview preview;
        if (!previewOf(*owner, request, &preview)) return nullptr;
        fail->open(preview, request.score);
        return fail;
    });
    IngameMenuWindow* menu = mMenu;
    mMode.setLevelWindowOpener("IngameMenuWindow", [menu](const LevelWindowRequest&) -> DialogWindow* {
        menu->open();
        return menu;
    });
    // The start window is the map's: one window, whoever opens it.
    mMode.setLevelWindowOpener("PlayLevelWindow", [owner](const LevelWindowRequest& request) -> DialogWindow* {
        MainModeMapState* map = owner->getMapState();
        PlayLevelWindow* window = map ? map->getLevelWindow() : nullptr;
        LevelPreview preview;
        if (!window || !previewOf(*owner, request, &preview)) return nullptr;
        GameProperties* properties = GameProperties::instancePointer();
        if (const PlayerProfile* player = properties ? properties->profile() : nullptr) fillPassiveSlots(*player, &preview);
        window->openForLevel(preview, request.mode == 1);
        return window;
    });
}

MainModeWindows::~MainModeWindows() {
    for (const char* name : {"WinLevelWindow", "FailLevelWindow", "PlayLevelWindow", "IngameMenuWindow", "BuyHeartWindow"})
        mMode.setLevelWindowOpener(name, nullptr);
    delete mWin;
    delete mFail;
    delete mNoMoves;
    delete mMenu;
    delete mHeart;
}
