#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct EpisodeLevel;
class PlayerProfile;

// What the level windows show of a level, handed to them by whoever opens
// them: the title, the goals with their counts, the score target, the stars
// and the passive boosters on offer.
struct LevelPreview {
    static constexpr int kGoalKinds = 7;  // 0 none .. 6 chip up

    std::string title;
    bool titleIsTextId = false;
    // The level's goal kinds in file order (0 when absent).
    int32_t goalKinds[2] = {0, 0};
    // Objects of each goal kind in the level.
    int32_t goalCounts[kGoalKinds] = {};
    bool timeLimited = false;
    int32_t starThresholds[3] = {500, 1000, 2000};
    int32_t bestScore = 0;
    // Passive booster kinds of the three slots (0 colour, 1 moves, 2 boom), -1 for none.
    int32_t passiveSlots[3] = {-1, -1, -1};
};

// The panels the start window fills: goal kinds 1, 2, 3, 5, 6 in that order
// when the level has them, at most two. Score (4) and none (0) get no panel.
std::vector<int32_t> goalPanelKinds(const LevelPreview& preview);

// Thresholds reached in order, stopping at the first one above the score: 0 to 3.
int32_t starsForScore(const int32_t thresholds[3], int32_t score);

// Fills the goals and the time limit from the level's script (package
// "default") and the rest from the level record. A script that cannot be
// loaded is a fatal content error; a script without "GameField" gives false.
bool readLevelPreview(const EpisodeLevel& level, const std::string& script, LevelPreview* preview);

// Up to three unlocked passive boosters of the profile, in unlock order.
void fillPassiveSlots(const PlayerProfile& profile, LevelPreview* preview);

// "#levelNum" of the level windows: "LEVEL_NUM" translated, used as a format with the title.
std::u16string levelNumberText(const LevelPreview& preview);
// A translated text id used as a format with one integer.
std::u16string translatedWithNumber(const std::string& textId, int32_t value);
