#pragma once

// What the real-program tests share: a run folder for the game, its
// environment (a scripted, fixed-step run), save_dump of its profile, the
// log's checks and screenshots against the expected pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "image.h"
#include "image_png.h"
#include "support/temp_dir.h"

namespace gamerun {

// The run folder's data home, an empty profile folder, a 1280 x 720 window and the input script.
inline void prepareFolders(const qvtest::TempDir& dir, const std::string& script) {
    std::filesystem::create_directories(dir.file("data/Varnel/Glimvale"));
    qvtest::writeFile(dir.file("resolution.txt"), "1280\n720\n");
    qvtest::writeFile(dir.file("input.txt"), script);
}

// A copy of the game's content in the run folder (a test may change its copy).
inline void copyContent(const qvtest::TempDir& dir) {
    std::filesystem::create_directories(dir.file("media"));
    std::filesystem::copy(QV_SOURCE_DIR "/media", dir.file("media"), std::filesystem::copy_options::recursive);
}

// Play on the main menu, then clicks away from every button through the intro
// cutscene (the first is swallowed): the script's opening for a new game.
inline std::string playThroughTheIntro() {
    std::string script = "400 button btnPlay\n";
    for (int frame = 460; frame <= 820; frame += 30) script += std::to_string(frame) + " click 100 650\n";
    return script;
}

inline std::map<std::string, std::string> runEnvironment(const qvtest::TempDir& dir) {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return {{"SDL_VIDEODRIVER", driver && *driver ? driver : "offscreen"},
            {"ALSOFT_DRIVERS", "null"},
            {"QV_NO_MESSAGE_BOX", "1"},
            {"XDG_DATA_HOME", dir.file("data")},
            {"QV_INPUT_SCRIPT", dir.file("input.txt")},
            {"QV_FIXED_DT", "0.02"},
            {"QV_PERF_COUNTER", "7"}};
}

// What save_dump prints for a profile file, with the shipped episode tree.
inline std::string saveDump(const std::string& file) {
    std::string out;
    const std::string command =
        std::string(QV_BINARY_DIR "/save_dump --episodes ") + QV_SOURCE_DIR + "/media/main_mode.lua " + file + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
    return out;
}

inline std::string profileFile(const qvtest::TempDir& dir) { return dir.file("data/Varnel/Glimvale/profile_0.dat"); }

inline bool hasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// The sound queue turns away a sound of a burst while five play; when they end
// depends on the audio device's own clock, not on the script, so a scripted run
// cannot count these lines.
constexpr char kSoundQueueFull[] = "SoundManager::createSound Sound can not be queued";

// The log's "ERROR:" lines, but those holding `besides` and the sound queue's.
inline std::string errorLines(const std::string& log, const std::string& besides = std::string()) {
    std::string errors;
    size_t at = 0;
    while (at < log.size()) {
        size_t end = log.find('\n', at);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(at, end - at);
        if (line.find("ERROR:") != std::string::npos && (besides.empty() || line.find(besides) == std::string::npos) &&
            line.find(kSoundQueueFull) == std::string::npos)
            errors += line + "\n";
        at = end + 1;
    }
    return errors;
}

// Each line found after the one before it.
inline void expectInOrder(const std::string& log, const std::vector<std::string>& lines) {
    size_t at = 0;
    for (const std::string& line : lines) {
        const size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "'" << line << "' missing or out of order in\n" << log;
        at = found + line.size();
    }
}

inline std::vector<uint8_t> readPng(const std::string& path, uint32_t* width, uint32_t* height) {
    const std::string bytes = qvtest::readFile(path);
    QV::MemoryImageSource source(bytes.data(), bytes.size());
    QV::PngImage image;
    std::string error;
    if (bytes.empty() || !image.decode(source, &error)) return {};
    *width = image.width();
    *height = image.height();
    return std::vector<uint8_t>(image.pixels(), image.pixels() + size_t(image.width()) * image.height() * 4);
}

// Compares a screenshot with tests/game/expected/<name>.png (QV_UPDATE_EXPECTED=1 writes it): at most
// one pixel in 200 may differ by more than 12 in a channel.
inline void expectPicture(const std::string& shot, const std::string& name) {
    uint32_t width = 0, height = 0;
    const std::vector<uint8_t> got = readPng(shot, &width, &height);
    ASSERT_FALSE(got.empty()) << "no picture in " << shot;
    const std::string expectedPath = std::string(QV_SOURCE_DIR) + "/tests/game/expected/" + name + ".png";
    if (std::getenv("QV_UPDATE_EXPECTED")) {
        std::filesystem::copy_file(shot, expectedPath, std::filesystem::copy_options::overwrite_existing);
        GTEST_SKIP() << "wrote " << expectedPath;
    }
    uint32_t ew = 0, eh = 0;
    const std::vector<uint8_t> expected = readPng(expectedPath, &ew, &eh);
    ASSERT_FALSE(expected.empty()) << "missing " << expectedPath << " (QV_UPDATE_EXPECTED=1 writes it)";
    ASSERT_EQ(ew, width);
    ASSERT_EQ(eh, height);
    int off = 0;
    for (size_t i = 0; i + 3 < got.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(int(got[i + c]) - int(expected[i + c])) > 12) {
                ++off;
                break;
            }
        }
    }
    const std::string actualPath = std::string(QV_BINARY_DIR) + "/" + name + "_actual.png";
    if (off > int(width * height) / 200)
        std::filesystem::copy_file(shot, actualPath, std::filesystem::copy_options::overwrite_existing);
    EXPECT_LE(off, int(width * height) / 200) << off << " pixels differ; picture in " << actualPath;
}

}  // namespace gamerun
