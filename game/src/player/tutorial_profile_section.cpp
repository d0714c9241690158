#include "player/tutorial_profile_section.h"

#include <vector>

#include "animationeditor/vector_stream.h"
#include "player/checked_stream.h"
#include "tutorial/tutorial_progress.h"

ProfileSection tutorialProfileSection(TutorialSequenceList& list) {
    ProfileSection section;
    section.write = [&list](AE::DataStream& stream) { saveTutorialProgress(stream, list); };
    section.read = [&list](AE::DataStream& stream) {
        std::vector<uint8_t> bytes(streamRemaining(stream) == SIZE_MAX ? 0 : streamRemaining(stream));
        if (!bytes.empty()) stream.read(bytes.data(), static_cast<unsigned>(bytes.size()));
        AE::VectorStream section(&bytes);
        loadTutorialProgress(section, list);
        return true;
    };
    return section;
}

void registerTutorialSection(GameProperties& properties, TutorialSequenceList& list) {
    properties.registerSection(kTutorialSectionName, tutorialProfileSection(list));
}
