#pragma once

class BuyHeartWindow;
class FailLevelWindow;
class IngameMenuWindow;
class MainMode;
class NomovesLevelWindow;
class WinLevelWindow;

// The real level result windows and the in-level menu of a main mode, and the openers through
// which the mode shows them: the win and fail windows (owned here) and the
// map's level start window (owned by the map state) for a replay, and the
// heart window for a replay without a heart.
class MainModeWindows {
public:
    // Creates the windows and installs their openers on the mode.
    explicit MainModeWindows(MainMode& mode);
    ~MainModeWindows();
    MainModeWindows(const MainModeWindows&) = delete;
    MainModeWindows& operator=(const MainModeWindows&) = delete;

    WinLevelWindow* winWindow() const { return mWin; }
    FailLevelWindow* failWindow() const { return mFail; }
    NomovesLevelWindow* noMovesWindow() const { return mNoMoves; }
    IngameMenuWindow* menuWindow() const { return mMenu; }
    BuyHeartWindow* heartWindow() const { return mHeart; }

private:
    MainMode& mMode;
    WinLevelWindow* mWin = nullptr;
    FailLevelWindow* mFail = nullptr;
    NomovesLevelWindow* mNoMoves = nullptr;
    IngameMenuWindow* mMenu = nullptr;
    BuyHeartWindow* mHeart = nullptr;
};
