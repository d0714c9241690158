#pragma once

#include "player/game_properties.h"
#include "tutorial/tutorial_registry.h"

// The "tutorial" section of the profile file over a sequence list: written
// from the sequences' progress, read back into them. A damaged section only
// costs the tutorial's progress (with the tutorial's own warning), never the
// rest of the profile. The tutorial is not reset with the profile: the
// options window resets it itself.
ProfileSection tutorialProfileSection(TutorialSequenceList& list);

// Plugs the section into the game properties; bytes already loaded are read at once.
void registerTutorialSection(GameProperties& properties, TutorialSequenceList& list);
