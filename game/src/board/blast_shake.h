#pragma once

class Chip;
class GameField;

// The shock of a blast at the chip: every chip within three cells (row 0
// never) starts shaking away from it, the nearest hardest.
void shakeChipsAround(GameField* field, const Chip* chip);
