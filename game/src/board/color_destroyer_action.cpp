#include "board/color_destroyer_action.h"

#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/board_random.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/color_destroyer_task.h"
#include "board/color_transformer_task.h"
#include "board/game_field.h"
#include "log_system.h"
#include "board/task.h"

bool ColorDestroyer::execute(GameField* field, Chip* chip, float) {
    if (!field || !chip) return true;
    TaskManager* tasks = field->taskManager.get();
    Chip* swapped = chip->hasProperty("swappedChip") ? chip->getProperty("swappedChip").toChip() : nullptr;
    if (swapped) {
        if (swapped->hasBehavior(kSimple) || swapped->hasBehavior(kDestroyColor)) {
            tasks->addTask(new ColorDestroyerTask(field, chip, swapped->group));
            // The second colour bomb leaves without going off itself.
            if (swapped->hasBehavior(kDestroyColor)) swapped->destroyed = 1;
        } else {
            const bool wave = swapped->hasBehavior(kWaveDSide) || swapped->hasBehavior(kWaveHor) ||
                              swapped->hasBehavior(kWaveVer);
            tasks->addTask(new ColorTransformerTask(field, swapped->group, chip,
                                                    wave ? ColorTransformerTask::kToWaves
                                                         : ColorTransformerTask::kToBombs));
        }
        return true;
    }
    Chip* destroyer = chip->hasProperty("destroyer") ? chip->getProperty("destroyer").toChip() : nullptr;
    if (destroyer) {
        tasks->addTask(new ColorDestroyerTask(field, chip, destroyer->group));
        return true;
    }
    const std::vector<ChipPrototype*>& colours = field->chipManager->colourPrototypes;
    if (colours.empty()) {
        // No plain colour on the level: nothing to pick, nothing to destroy.
        QV::logLine("Colour bomb: the level has no plain colour to destroy");
        return true;
    }
    const ChipPrototype* picked = colours[size_t(boardRand()) % colours.size()];
    tasks->addTask(new ColorDestroyerTask(field, chip, picked->group));
    return true;
}
