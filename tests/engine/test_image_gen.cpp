#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "image_dds.h"
#include "image_jpeg.h"
#include "image_png.h"
#include "image_qvt.h"
#include "support/temp_dir.h"

namespace {

std::string tool() { return std::string(QV_BINARY_DIR) + "/image_gen"; }

int run(const std::string& arguments) {
    return std::system((tool() + " " + arguments + " 2>/dev/null").c_str());
}

// The generator's set decodes with the engine's own decoders.
TEST(ImageGen, SetDecodesWithTheEngine) {
    if (!std::ifstream(tool()).good()) GTEST_SKIP() << "image_gen not built";
    qvtest::TempDir dir;
    ASSERT_EQ(run("set " + dir.path() + " 48 16"), 0);
    auto source = [&](const char* file) {
        return std::string(qvtest::readFile(dir.file(file)));
    };
    for (const char* file : {"rgba.png", "rgb.png", "grey.png", "palette.png"}) {
        SCOPED_TRACE(file);
        const std::string bytes = source(file);
        QV::MemoryImageSource s(bytes.data(), bytes.size());
        QV::PngImage image;
        ASSERT_TRUE(image.decode(s, nullptr));
        EXPECT_EQ(image.width(), 48u);
        EXPECT_EQ(image.height(), 16u);
    }
    const std::string colour = source("colour.jpg"), alpha = source("colour_a.jpg");
    QV::MemoryImageSource c(colour.data(), colour.size()), a(alpha.data(), alpha.size());
    QV::JpegImage jpeg;
    EXPECT_TRUE(jpeg.decode(c, a, nullptr));
    const std::string dds = source("dxt5.dds");
    QV::MemoryImageSource d(dds.data(), dds.size());
    QV::DDSImage ddsImage;
    EXPECT_EQ(ddsImage.decode(d), QV::DDSImage::kDecoded);
    for (const char* file : {"tiles.qvt", "palette.qvt"}) {
        SCOPED_TRACE(file);
        const std::string bytes = source(file);
        QV::MemoryImageSource s(bytes.data(), bytes.size());
        QV::QVTImage image;
        EXPECT_EQ(image.decode(s), QV::QVTImage::kDecoded);
        EXPECT_EQ(image.width(), 48u);
    }
}

TEST(ImageGen, RefusesWhatItCannotWrite) {
    if (!std::ifstream(tool()).good()) GTEST_SKIP() << "image_gen not built";
    qvtest::TempDir dir;
    const struct {
        const char* arguments;
        int status;
    } cases[] = {
        {"qvt2 OUT/a.qvt 6 8", 1},      // not whole tiles
        {"qvt3 OUT/a.qvt 8 8", 1},      // format 3 tiles are 16 wide
        {"gif OUT/a.gif 8 8", 1},       // unknown kind
        {"png OUT/a.png 0 8", 2},       // bad size
        {"png OUT/a.png 9000 8", 2},    // above the size limit
        {"png", 2},                     // usage
        {"png OUT/missing/a.png 8 8", 1},  // unwritable path
    };
    for (const auto& c : cases) {
        std::string arguments = c.arguments;
        const std::string::size_type at = arguments.find("OUT");
        if (at != std::string::npos) arguments.replace(at, 3, dir.path());
        SCOPED_TRACE(arguments);
        const int status = run(arguments);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.status);
    }
}

}  // namespace
