#include "board/blast_shake.h"

#include <algorithm>
#include <cmath>

#include "board/cell.h"
#include "board/chip.h"
#include "board/game_field.h"

void shakeChipsAround(GameField* field, const Chip* chip) {
    if (!field || !chip) return;
    const float x = chip->position.x;
    const float y = chip->position.y;
    const float corner = std::sqrt(18.0f);
    const float power = field->boomShakePower;
    for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
            if (dx == 0 && dy == 0) continue;
            Cell* cell = field->getCell(x + float(dx), y + float(dy));
            if (!cell || cell->row < 1 || !cell->chip) continue;
            const float d = std::sqrt(float(dx * dx + dy * dy));
            // At the corners k is 0; the max keeps rounding from going below.
            const float k = std::sqrt(std::max(0.0f, corner - d));
            Chip* shaken = cell->chip;
            shaken->shakeAmplitude = QV::Vector2<float>(float(dx) / d * k * power, float(dy) / d * k * power);
            shaken->shakeDuration = field->boomShakeTime;
            shaken->shakeTimeLeft = field->boomShakeTime;
            shaken->shakePhaseSpan = 4.0f * float(M_PI);
        }
    }
}
