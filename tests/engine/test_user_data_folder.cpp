#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"
#include "user_data_folder.h"

namespace {

bool isDirectory(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Sets or clears an environment variable for a scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : mName(name) {
        const char* old = std::getenv(name);
        mHad = old != nullptr;
        if (mHad) mOld = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (mHad) setenv(mName.c_str(), mOld.c_str(), 1);
        else unsetenv(mName.c_str());
    }

private:
    std::string mName, mOld;
    bool mHad = false;
};

TEST(UserDataFolder, BuildsAndCreatesEveryLevel) {
    qvtest::TempDir dir;
    const std::string base = dir.file("data/home");  // missing: made as well
    ScopedEnv xdg("XDG_DATA_HOME", base.c_str());
    struct Case {
        const char* sub;
        const char* companyProduct;
        std::string expected;
    } cases[] = {
        {"", "Varnel/Glimvale", base + "/Varnel/Glimvale//"},
        {"", "\\Varnel\\Glimvale\\", base + "/Varnel/Glimvale//"},
        {"", "Varnel\\Glimvale", base + "/Varnel/Glimvale//"},
        {"", "/Varnel/Glimvale/", base + "/Varnel/Glimvale//"},
        {"", nullptr, base + "/FenwrightEntertainment/Corvel//"},
        {"saves", "Varnel/Glimvale", base + "/Varnel/Glimvale/saves/"},
    };
    for (const Case& c : cases) {
        char result[512] = "stale";
        EXPECT_EQ(QV::getUserDataFolder(c.sub, c.companyProduct, result, sizeof(result)),
                  QV::kUserDataFolderFound);
        EXPECT_EQ(std::string(result), c.expected);
        EXPECT_TRUE(isDirectory(c.expected)) << c.expected;
    }
    EXPECT_TRUE(isDirectory(base + "/Varnel/Glimvale/saves"));
    // A save file goes right after the returned text.
    char result[512];
    QV::getUserDataFolder("", "Varnel/Glimvale", result, sizeof(result));
    qvtest::writeFile(std::string(result) + "last_profile.dat", "x");
    EXPECT_EQ(qvtest::readFile(base + "/Varnel/Glimvale/last_profile.dat"), "x");
}

TEST(UserDataFolder, FallsBackToHomeAndNeverToTheRoot) {
    qvtest::TempDir dir;
    {
        ScopedEnv xdg("XDG_DATA_HOME", "relative/ignored");
        ScopedEnv home("HOME", dir.path().c_str());
        char result[512];
        EXPECT_EQ(QV::getUserDataFolder("", "Varnel/Glimvale", result, sizeof(result)),
                  QV::kUserDataFolderFound);
        EXPECT_EQ(std::string(result), dir.path() + "/.local/share/Varnel/Glimvale//");
        EXPECT_TRUE(isDirectory(dir.path() + "/.local/share/Varnel/Glimvale"));
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", nullptr);
        ScopedEnv home("HOME", "/");
        char result[512] = "stale";
        EXPECT_EQ(QV::getUserDataFolder("", "Varnel/Glimvale", result, sizeof(result)),
                  QV::kUserDataFolderMissing);
        EXPECT_EQ(std::string(result), "");
    }
}

TEST(UserDataFolder, RefusesWhatDoesNotFit) {
    qvtest::TempDir dir;
    ScopedEnv xdg("XDG_DATA_HOME", dir.path().c_str());
    const std::string expected = dir.path() + "/Varnel/Glimvale//";
    std::string buffer(expected.size() + 1, 'x');
    EXPECT_EQ(QV::getUserDataFolder("", "Varnel/Glimvale", &buffer[0], expected.size()),
              QV::kUserDataFolderTooLong);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_FALSE(isDirectory(dir.path() + "/Varnel"));  // nothing made for a refused path
    EXPECT_EQ(QV::getUserDataFolder("", "Varnel/Glimvale", nullptr, 0), QV::kUserDataFolderTooLong);
    EXPECT_EQ(QV::getUserDataFolder("", "Varnel/Glimvale", &buffer[0], expected.size() + 1),
              QV::kUserDataFolderFound);
    EXPECT_EQ(std::string(buffer.c_str()), expected);
}

TEST(UserDataFolderDeathTest, OverlongBaseFolderIsFatal) {
    std::string base = "/" + std::string(4095, 'd');
    ScopedEnv xdg("XDG_DATA_HOME", base.c_str());
    char result[64];
    EXPECT_EXIT(QV::getUserDataFolder("", "Varnel/Glimvale", result, sizeof(result)),
                testing::ExitedWithCode(255), "Description:");
}

}  // namespace
