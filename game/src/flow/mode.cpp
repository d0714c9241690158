#include "board/mode.h"

#include "player/game_properties.h"

Mode::~Mode() {
    GameProperties* properties = GameProperties::instancePointer();
    if (properties && properties->currentMode() == this) properties->setCurrentMode(nullptr);
}

void Mode::activate() {
    if (GameProperties* properties = GameProperties::instancePointer()) properties->setCurrentMode(this);
}

void Mode::deactivate() {
    GameProperties* properties = GameProperties::instancePointer();
    if (properties && properties->currentMode() == this) properties->setCurrentMode(nullptr);
}

Mode* Mode::current() {
    GameProperties* properties = GameProperties::instancePointer();
    return properties ? properties->currentMode() : nullptr;
}
