#pragma once

#include <vector>

class GameEvent;
class TutorialLessonFactory;
class TutorialSequence;

// The process-wide list of tutorial sequences, in creation order (owned).
using TutorialSequenceList = std::vector<TutorialSequence*>;

// The list, created empty on first use.
TutorialSequenceList& getTutorialSequences();

// Appends one sequence per value of the table "load" of "tutorial_lua",
// lessons built by the game's factory unless one is given.
void loadTutorialSequences(TutorialSequenceList& list, const TutorialLessonFactory* factory = nullptr);

// Offers the event to the current lesson of every sequence, deletes it and
// returns its result flag.
bool dispatchTutorialEvent(GameEvent* event, TutorialSequenceList& list);

// True while some sequence's current lesson is active.
bool isTutorialLessonActive(const TutorialSequenceList& list);

// The board's question before a click on a cell acts: every sequence's
// current lesson must allow the cell.
bool isTutorialCellAllowed(const TutorialSequenceList& list, int column, int row);

void updateTutorials(TutorialSequenceList& list, float dt);

// Every sequence back at its first lesson, every lesson waiting.
void resetTutorials(TutorialSequenceList& list);

// Deletes every sequence and empties the list.
void destroyTutorialSequences(TutorialSequenceList& list);

// Destroys the sequences, then the list object itself; the next
// getTutorialSequences makes a new empty one.
void releaseTutorialSequences();
