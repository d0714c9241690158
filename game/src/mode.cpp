#include "mode.h"

namespace {
// The one current mode; the game properties hold the modes themselves.
Mode* gCurrentMode = nullptr;
}  // namespace

Mode::~Mode() {
    if (gCurrentMode == this) gCurrentMode = nullptr;
}

void Mode::activate() { gCurrentMode = this; }

void Mode::deactivate() {
    if (gCurrentMode == this) gCurrentMode = nullptr;
}

Mode* Mode::current() { return gCurrentMode; }
