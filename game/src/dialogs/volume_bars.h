#pragma once

#include <string>

namespace AE {
class ISceneNode;
}
class DialogWindow;
class PlayerProfile;
class ScrollBar;
class ScrollBarListener;

// What the menu windows and the options window share about their volume bars.
namespace volume_bars {

// The player's profile, or null when no game properties exist.
PlayerProfile* profile();
// A bar over the scene node of that name (a missing node gives a bar that never moves).
ScrollBar* makeBar(AE::ISceneNode* scene, const std::string& node, ScrollBarListener* listener);
// Each bar is active exactly while the window is the topmost one on screen; then both follow the mouse.
void updateBars(const DialogWindow* window, ScrollBar* sound, ScrollBar* music);
// The profile's volumes kept and shown on the bars.
void remember(ScrollBar* sound, ScrollBar* music, float* savedSound, float* savedMusic);
// The volumes kept when the window opened put back.
void restore(float savedSound, float savedMusic);
// A dragged bar sets the volume it stands for (applied at once, not saved).
void apply(ScrollBar* bar, ScrollBar* sound, ScrollBar* music, float value);
// The profile written now.
void saveNow();


// Gives up a child window: the dialog window manager frees it at its next
// update (at once when there is no manager).
void releaseWindow(DialogWindow* window);

}  // namespace volume_bars
