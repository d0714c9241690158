// The whole path on a real OpenAL Soft device: its wave-file driver records
// what the game's own sounds put out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

struct Wave {
    int channels = 0;
    int bits = 0;
    int rate = 0;
    std::string data;
};

uint32_t le32(const std::string& s, size_t at) {
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 | uint32_t(uint8_t(s[at + 2])) << 16 |
           uint32_t(uint8_t(s[at + 3])) << 24;
}

bool parseWave(const std::string& file, Wave* wave) {
    if (file.size() < 12 || file.compare(0, 4, "RIFF") != 0 || file.compare(8, 4, "WAVE") != 0) return false;
    size_t at = 12;
    while (at + 8 <= file.size()) {
        std::string id = file.substr(at, 4);
        uint32_t size = le32(file, at + 4);
        at += 8;
        if (id == "fmt " && at + 16 <= file.size()) {
            wave->channels = uint8_t(file[at + 2]) | uint8_t(file[at + 3]) << 8;
            wave->rate = static_cast<int>(le32(file, at + 4));
            wave->bits = uint8_t(file[at + 14]) | uint8_t(file[at + 15]) << 8;
        } else if (id == "data") {
            // The size may not be written back yet; the data runs to the end then.
            wave->data = file.substr(at, std::min<size_t>(size ? size : file.size(), file.size() - at));
            return wave->channels > 0;
        }
        at += size + (size & 1);
    }
    return false;
}

TEST(SoundWaveOutput, GameSoundsAreAudibleInTheRecording) {
    const char* progs = std::getenv("QV_TEST_PROGS");
    ASSERT_NE(progs, nullptr);
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    std::string wav = dir.file("out.wav");
    qvtest::writeFile(dir.file("alsoft.conf"),
                      "[general]\nchannels = stereo\nsample-type = int16\nfrequency = 22050\n"
                      "[wave]\nfile = " + wav + "\n");
    std::string command = "ALSOFT_DRIVERS=wave ALSOFT_CONF=" + dir.file("alsoft.conf") + " " + progs +
                          "/sound_wave_prog " QV_SOURCE_DIR "/media 1.5 game_level_ambient_sound_1_sound"
                          " button_clicked_sound chip_destroy_sound combo5_sound tile_destroy_sound"
                          " > prog.out 2>&1";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << qvtest::readFile("prog.out");
    ASSERT_EQ(WEXITSTATUS(status), 0) << qvtest::readFile("prog.out");

    Wave wave;
    ASSERT_TRUE(parseWave(qvtest::readFile(wav), &wave));
    EXPECT_EQ(wave.channels, 2);
    ASSERT_EQ(wave.bits, 16);
    EXPECT_EQ(wave.rate, 22050);
    size_t samples = wave.data.size() / 2;
    // The recording keeps pace with the clock: about 1.5 s of it.
    EXPECT_GT(samples, 22050u * 2);
    double level = qvtest::rmsLevel(reinterpret_cast<const int16_t*>(wave.data.data()), samples);
    EXPECT_GT(level, 0.02);
    std::string log = qvtest::readFile("QV.log");
    EXPECT_EQ(log.find("OpenAL Error"), std::string::npos) << log;
    EXPECT_EQ(log.find("Sound not found"), std::string::npos) << log;
}

}  // namespace
