#pragma once

#include <string>

class Mode;

// What the board needs of the level state that owns it: its mode, its count
// of open in-level dialogs, the board opacity and the dialog and tutorial
// gates. The level state implements it; tools and tests use stand-ins.
class BoardHost {
public:
    virtual ~BoardHost() = default;
    virtual Mode* mode() = 0;
    // While above 0 the board searches no matches and shows no hint.
    virtual int openDialogCount() = 0;
    // Rules that hold the board (a merge, a booster at work) raise the count
    // and lower it when done; it never goes below 0.
    virtual void increaseDialogCount() {}
    virtual void decreaseDialogCount() {}
    virtual float boardOpacity() { return 1.0f; }
    // A dialog window visible or pending: the board does not update.
    virtual bool dialogBlocksBoard() { return false; }
    // The current tutorial lessons' veto on a clicked cell.
    virtual bool isCellAllowed(int column, int row) { (void)column, (void)row; return true; }
    // A chip asks the level to shake its field scene: the level stops the
    // marker it started this way last, then plays the named one (if found).
    virtual void playShakeMarker(const std::string& marker) { (void)marker; }
    // The marker of the last level-end effect scene (hides highlights while set).
    virtual bool levelEffectStarted() { return false; }
};
