#include "board/chip_appearence.h"

#include <cmath>
#include <utility>

#include "animation.h"
#include "board/behavior.h"
#include "board/board_random.h"
#include "board/chip.h"
#include "board/chip_selector.h"
#include "board/game_field.h"
#include "board/move_hint.h"

namespace {

using Point = QV::Vector2<float>;

bool isPlainChip(const Chip* chip) {
    return chip && chip->behaviors.size() == 1 && chip->hasBehavior(kSimple);
}

void setKeys(QV::Animation& animation, const std::vector<Point>& keys, bool reversed) {
    const uint32_t count = static_cast<uint32_t>(keys.size());
    for (uint32_t i = 0; i < count; ++i) {
        animation.keyValue<Point>("position", i) = keys[reversed ? count - 1 - i : i];
    }
}

}  // namespace

ChipAppearence::~ChipAppearence() = default;

QV::Animation& ChipAppearence::addTrack(Chip* chip) {
    AppearanceTrack track;
    track.target = &chip->position;
    track.animation = std::make_unique<QV::Animation>();
    track.animation->bind("position", &chip->position);
    track.animation->mLoop = false;
    track.animation->mPlaying = true;
    tracks.push_back(std::move(track));
    return *tracks.back().animation;
}

void ChipAppearence::update(float dt) {
    for (size_t i = 0; i < tracks.size();) {
        AppearanceTrack& track = tracks[i];
        if (track.delay > 0.0f) {
            track.delay -= dt;
        } else {
            track.animation->update(dt);
            if (!track.animation->mLoop && track.animation->isFinished()) {
                tracks.erase(tracks.begin() + static_cast<long>(i));
                continue;
            }
        }
        ++i;
    }
}

void ChipAppearenceCross::start(GameField* field) {
    tracks.clear();
    const float w = static_cast<float>(field->gridWidth);
    const float h = static_cast<float>(field->gridHeight + 1);
    const float cx = w / 2.0f;
    const float cy = h / 2.0f;
    const float a = 0.25f / duration;
    const float b = 0.5f / duration;
    const float radius = std::sqrt(cx * cx + cy * cy);
    for (int row = 1; row <= field->gridHeight; ++row) {
        for (int column = 0; column < field->gridWidth; ++column) {
            Cell* cell = field->cellAt(column, row);
            if (!cell || !cell->chip) continue;
            Chip* chip = cell->chip;
            const Point at = chip->position;
            const float dx = cx - at.x;
            const float dy = cy - at.y;
            const float ratio = std::sqrt(dx * dx + dy * dy) / radius;
            QV::Animation& animation = addTrack(chip);
            if (reversed) {
                for (float frame : {a, b, a}) animation.addFrame(frame);
            } else {
                for (float frame : {ratio * ratio * a, b, a}) animation.addFrame(frame);
            }
            const bool left = at.x < cx;
            const bool top = at.y < cy;
            const Point far(left ? -w : 2.0f * w, top ? -h : 2.0f * h);
            const Point corner(left ? 0.0f : w, top ? 0.0f : h);
            setKeys(animation, {far, corner, at}, reversed);
        }
    }
}

void ChipAppearenceLine::start(GameField* field) {
    tracks.clear();
    const float w = static_cast<float>(field->gridWidth);
    const float h = static_cast<float>(field->gridHeight + 1);
    const float cx = w / 2.0f;
    const float cy = h / 2.0f;
    const float a = 0.25f / duration;
    const float step = a / (w * h);
    float wait = 0.0f;
    for (int row = 1; row <= field->gridHeight; ++row) {
        for (int column = 0; column < field->gridWidth; ++column) {
            Cell* cell = field->cellAt(column, row);
            if (!cell || !cell->chip) continue;
            Chip* chip = cell->chip;
            const Point at = chip->position;
            QV::Animation& animation = addTrack(chip);
            if (reversed) {
                for (float frame : {a, step, wait, 0.0f}) animation.addFrame(frame);
            } else {
                for (float frame : {wait, step, a, 0.0f}) animation.addFrame(frame);
            }
            setKeys(animation, {Point(cx, -cy), Point(cx, -cy), Point(cx, 0.0f), at}, reversed);
            wait += (2.0f * a + step) / 100.0f;
        }
    }
}

void ChipMixing::start(GameField* field) {
    seedBoardRandom();
    for (int pass = 0; pass < 5; ++pass) {
        tracks.clear();
        std::vector<Cell*> cells;
        std::vector<Chip*> chips;
        for (int row = 1; row <= field->gridHeight; ++row) {
            for (int column = 0; column < field->gridWidth; ++column) {
                Cell* cell = field->cellAt(column, row);
                if (cell && isPlainChip(cell->chip)) {
                    cells.push_back(cell);
                    chips.push_back(cell->chip);
                }
            }
        }
        size_t n = chips.size();
        for (Cell* cell : cells) {
            size_t k = 0;
            for (int tries = 0; tries < 50; ++tries) {
                k = static_cast<size_t>(boardRand()) % n;
                Chip* chip = chips[k];
                cell->chip = chip;
                chip->position = {cell->column + 0.5f, cell->row + 0.5f};
                chip->target = chip->position;
                MatchLines lines;
                if (chip->selector) chip->selector->select(lines, field, chip);
                if (!(lines.chipCount() > 0 && n > 1)) break;
            }
            addChipTrack(field, cell, chips[k]);
            std::swap(chips[k], chips[n - 1]);
            --n;
        }
        if (field->moveHint->findMove().first) break;
    }
}

void ChipMixing::addChipTrack(GameField* field, Cell* cell, Chip* chip) {
    (void)cell;
    const float w = static_cast<float>(field->gridWidth);
    const float h = static_cast<float>(field->gridHeight + 1);
    const Point at = chip->position;
    const float d = duration;
    QV::Animation& animation = addTrack(chip);
    const float first = (std::fabs(at.x - w) / w) * (std::fabs(at.y - h) / h) * d * 0.95f + 0.025f;
    for (float frame : {first, 0.25f * d, 0.175f * d, 0.125f * d, 0.25f, 0.25f, 0.0f}) animation.addFrame(frame);
    const bool left = at.x < w / 2.0f;
    setKeys(animation,
            {at, Point(at.x, h + 5.0f), Point(left ? -1.0f : w + 1.0f, h / 2.0f),
             Point(left ? -1.0f : w + 1.0f, -1.0f), Point(w / 2.0f, -1.0f), at, at},
            false);
}
