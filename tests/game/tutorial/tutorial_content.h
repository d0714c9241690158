#pragma once

#include <map>
#include <memory>
#include <string>

#include "support/media_fixture.h"
#include "support/temp_dir.h"

// Content of package "default" made of Lua scripts given by resource name
// ("tutorial_lua", "a_lua", ...), with the engine's file side over it.
class TutorialContent {
public:
    explicit TutorialContent(const std::map<std::string, std::string>& scripts) {
        qvtest::PackageLists lists;
        for (const auto& script : scripts) {
            const std::string location = "/tutorial/" + script.first + ".lua";
            lists["default"][script.first] = location;
            qvtest::writeFile(mDir.file("media" + location), script.second);
        }
        qvtest::writeMedia(mDir.file("media"), lists);
        mEngine = std::make_unique<qvtest::MediaEngine>(mDir.path());
    }

private:
    qvtest::TempDir mDir;
    std::unique_ptr<qvtest::MediaEngine> mEngine;
};

// A scripted lesson entry of a sequence file: `data` is the inside of its table.
inline std::string lesson(const std::string& data, const std::string& className = "InfoLesson") {
    return "{ class = \"" + className + "\", data = { " + data + " } },\n";
}

inline std::string lessons(const std::string& entries) { return "lessons = {\n" + entries + "}\n"; }
