#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "social/facebook_data_saver.h"
#include "game/player/save_test_util.h"
#include "player/save_file.h"
#include "support/temp_dir.h"

using savetest::fileBytes;
using savetest::hexBytes;
using savetest::putFile;

namespace {

TEST(SaveFile, ContainerOfAbcHasTheDocumentedHeader) {
    qvtest::TempDir dir;
    const std::string path = dir.file("abc.dat");
    ASSERT_EQ(writeSaveFileAt(path, "abc", 3, 0), 0);
    // 294 = 'a' + 'b' + 'c'; 65 = (0 << 16) | 65.
    EXPECT_EQ(fileBytes(path), hexBytes("26010000 41000000 616263"));
    EXPECT_EQ(byteSumChecksum(nullptr, 0), 0u);
    EXPECT_EQ(saveFileVersionWord(3), (3u << 16) | 65u);
}

TEST(SaveFile, EmptySocialDataFileIsTwelveBytes) {
    qvtest::TempDir dir;
    FacebookDataSaver saver(dir.path());
    saver.save();
    EXPECT_EQ(fileBytes(dir.file("facebook_data.dat")), hexBytes("00000000 41000000 00000000"));
}

TEST(SaveFile, RoundTripAndShortOutput) {
    qvtest::TempDir dir;
    const std::string path = dir.file("data.dat");
    std::vector<uint8_t> payload(100);
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i * 7 + 1);
    ASSERT_EQ(writeSaveFileAt(path, payload.data(), 100, 2), 0);
    EXPECT_EQ(saveFilePayloadSizeAt(path), 100);

    std::vector<uint8_t> out(200, 0xEE);
    EXPECT_EQ(readSaveFileAt(path, out.data(), 200, 2), 100);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), out.begin()));
    EXPECT_EQ(out[100], 0xEE);

    std::vector<uint8_t> ten(10, 0);
    EXPECT_EQ(readSaveFileAt(path, ten.data(), 10, 2), 10);
    EXPECT_TRUE(std::equal(ten.begin(), ten.end(), payload.begin()));
    // No temporary file stays behind.
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

// Files the reader must refuse, and what the size query says about them.
TEST(SaveFile, RefusalTable) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int expectedSize;
    };
    std::vector<uint8_t> good = buildSaveFileBytes("hello", 5, 1);
    std::vector<uint8_t> flipped = good;
    flipped[10] ^= 0x01;
    std::vector<uint8_t> otherPlatform = buildSaveFileBytes("hello", 5, 2);
    std::vector<uint8_t> otherFormat = good;
    otherFormat[4] = 66;
    std::vector<uint8_t> tooLarge = buildSaveFileBytes(std::vector<uint8_t>(65537, 1).data(), 65537, 1);
    const std::vector<Case> cases = {
        {"one payload byte changed", flipped, 5},
        {"written with another platform code", otherPlatform, 5},
        {"other format in the low half", otherFormat, 5},
        {"empty payload (8-byte file)", hexBytes("00000000 41000100"), 0},
        {"5-byte file", hexBytes("0000000041"), -1},
        {"empty file", {}, -1},
        {"payload of 65,537 bytes", tooLarge, -1},
    };
    qvtest::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file("case.dat");
        putFile(path, c.bytes);
        uint8_t out[16];
        EXPECT_EQ(readSaveFileAt(path, out, sizeof(out), 1), -1);
        EXPECT_EQ(saveFilePayloadSizeAt(path), c.expectedSize);
    }
    EXPECT_EQ(saveFilePayloadSizeAt(dir.file("missing.dat")), -1);
    EXPECT_EQ(readSaveFileAt(dir.file("missing.dat"), nullptr, 0, 1), -1);
}

TEST(SaveFile, PayloadLimitIsExactly65536) {
    qvtest::TempDir dir;
    const std::string path = dir.file("big.dat");
    std::vector<uint8_t> payload(65536, 0xAB);
    ASSERT_EQ(writeSaveFileAt(path, payload.data(), 65536, 0), 0);
    EXPECT_EQ(saveFilePayloadSizeAt(path), 65536);
    std::vector<uint8_t> out(65536);
    EXPECT_EQ(readSaveFileAt(path, out.data(), 0, 0), 65536);
    EXPECT_EQ(out, payload);

    // One byte more is refused and the old file stays, with an error line.
    std::vector<uint8_t> larger(65537, 0xCD);
    testing::internal::CaptureStderr();
    EXPECT_EQ(writeSaveFileAt(path, larger.data(), 65537, 0), 1);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("ERROR: Save file '" + path + "' not written: its payload of 65537 bytes is over the limit"),
              std::string::npos)
        << log;
    EXPECT_EQ(saveFilePayloadSizeAt(path), 65536);
    EXPECT_EQ(readSaveFileAt(path, out.data(), 0, 0), 65536);
    EXPECT_EQ(out, payload);
}

TEST(SaveFile, FailedWriteKeepsTheOldFile) {
    qvtest::TempDir dir;
    const std::string path = dir.file("keep.dat");
    ASSERT_EQ(writeSaveFileAt(path, "old", 3, 0), 0);
    const std::vector<uint8_t> before = fileBytes(path);
    // The temporary file cannot be created when a folder stands in its place.
    std::filesystem::create_directory(path + ".tmp");
    EXPECT_EQ(writeSaveFileAt(path, "new!", 4, 0), 1);
    EXPECT_EQ(fileBytes(path), before);
    // A folder that does not exist cannot be written into either.
    EXPECT_EQ(writeSaveFileAt(dir.file("no/such/folder/x.dat"), "x", 1, 0), 1);
}

TEST(SaveFile, LongPathsWorkBothWays) {
    qvtest::TempDir dir;
    std::string folder = dir.path();
    // Longer than the 255 and 1,023 characters fixed buffers once allowed.
    for (int i = 0; i < 12; ++i) folder += "/" + std::string(100, char('a' + i));
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/profile_0.dat";
    ASSERT_GT(path.size(), 1100u);
    ASSERT_EQ(writeSaveFileAt(path, "long", 4, 0), 0);
    char out[8] = {};
    EXPECT_EQ(readSaveFileAt(path, out, sizeof(out), 0), 4);
    EXPECT_EQ(std::string(out, 4), "long");
}

TEST(SaveFile, DefaultFolderIsUnderXdgDataHome) {
    qvtest::TempDir dir;
    const char* old = getenv("XDG_DATA_HOME");
    std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(userSaveFolder(), dir.path() + "/Varnel/Glimvale/");
    EXPECT_EQ(writeSaveFile("x.dat", "x", 1), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.path() + "/Varnel/Glimvale/x.dat"));
    EXPECT_EQ(saveFilePayloadSize("x.dat"), 1);
    char c = 0;
    EXPECT_EQ(readSaveFile("x.dat", &c, 1), 1);
    EXPECT_EQ(c, 'x');
    if (old) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}

TEST(SaveFile, SeekStreamMarksInvalidPositions) {
    std::istringstream in("0123456789");
    seekStream(in, -2, SeekOrigin::End);
    EXPECT_EQ(in.get(), '8');
    seekStream(in, -3, SeekOrigin::Current);
    EXPECT_EQ(in.get(), '6');
    seekStream(in, 11, SeekOrigin::Begin);
    EXPECT_TRUE(in.fail());
    seekStream(in, 0, SeekOrigin::Begin);  // a failed stream stays failed
    EXPECT_TRUE(in.fail());
    std::istringstream other("abc");
    seekStream(other, -1, SeekOrigin::Begin);
    EXPECT_TRUE(other.fail());
}

}  // namespace
