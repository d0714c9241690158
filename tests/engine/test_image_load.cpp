#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "image_dds.h"
#include "image_encode.h"
#include "image_jpeg.h"
#include "image_png.h"
#include "image_qvt.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"

namespace {

// One file of every kind, plus damaged ones, as resources of "default".
struct ImageMedia {
    ImageMedia() {
        const std::vector<uint8_t> rgba = QV::makeTestPattern(16, 8);
        QV::JpegPair pair = QV::encodeJpegPair(rgba, 16, 8);
        std::string dxt1 = QV::encodeDdsDxt5(rgba, 16, 8);
        dxt1.replace(84, 4, "DXT1");
        const struct {
            const char* name;
            std::string bytes;
        } files[] = {
            {"png_image", QV::encodePng(rgba, 16, 8)},
            {"dds_image", QV::encodeDdsDxt5(rgba, 16, 8)},
            {"qvt_image", QV::encodeQvt2(rgba, 16, 8)},
            {"jpeg_image", pair.colour},
            {"jpeg_a_image", pair.alpha},
            {"dxt1_image", dxt1},
            {"short_qvt_image", QV::qvtHeader(2, 16, 8, 512) + std::string(100, '\0')},
            {"format9_qvt_image", QV::qvtHeader(9, 16, 8, 512) + std::string(512, '\0')},
            {"cut_png_image", QV::encodePng(rgba, 16, 8).substr(0, 60)},
            {"bad_jpeg_image", pair.colour.substr(0, 30)},
            {"bad_jpeg_a_image", pair.alpha},
        };
        qvtest::PackageLists lists;
        for (const auto& f : files) {
            lists["default"][f.name] = std::string("/img/") + f.name;
            qvtest::writeFile(dir.file("media/img/") + f.name, f.bytes);
        }
        lists["default"]["missing_image"] = "/img/not_there";
        qvtest::writeMedia(dir.file("media"), lists);
        engine.reset(new qvtest::MediaEngine(dir.path()));
    }
    qvtest::TempDir dir;
    std::unique_ptr<qvtest::MediaEngine> engine;
};

TEST(ImageProbes, KindsAreFoundByContent) {
    ImageMedia media;
    struct Case {
        const char* name;
        bool png, dds, qvt, jpeg;
    } cases[] = {
        {"png_image", true, false, false, false},
        {"dds_image", false, true, false, false},
        {"qvt_image", false, false, true, false},
        {"jpeg_image", false, false, false, true},
        {"jpeg_a_image", false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QV::PngImage::isPng(c.name, "default"), c.png);
        EXPECT_EQ(QV::PngImage::isPngFile(c.name, "default"), c.png);
        EXPECT_EQ(QV::DDSImage::isDDS(c.name, "default"), c.dds);
        EXPECT_EQ(QV::QVTImage::isQVT(c.name, "default"), c.qvt);
        EXPECT_EQ(QV::JpegImage::isJpeg(c.name, "default"), c.jpeg);
    }
    // The second PNG probe answers false for a file that is not there.
    EXPECT_FALSE(QV::PngImage::isPngFile("missing_image", "default"));
    EXPECT_FALSE(QV::PngImage::isPngFile("unlisted_image", "default"));
}

TEST(ImageLoad, EveryKindLoadsThroughTheFileSystem) {
    ImageMedia media;
    QV::PngImage png;
    EXPECT_EQ(png.load("png_image", "default"), 1);
    QV::DDSImage dds;
    EXPECT_EQ(dds.load("dds_image", "default"), 0);
    QV::QVTImage qvt;
    EXPECT_EQ(qvt.load("qvt_image", "default"), 0);
    QV::JpegImage jpeg;
    EXPECT_EQ(jpeg.load("jpeg_image", "en"), 1);  // falls back to "default", pair included
    for (QV::Image* image : {static_cast<QV::Image*>(&png), static_cast<QV::Image*>(&dds),
                             static_cast<QV::Image*>(&qvt), static_cast<QV::Image*>(&jpeg)}) {
        EXPECT_EQ(image->width(), 16u);
        EXPECT_EQ(image->height(), 8u);
        EXPECT_NE(image->pixels(), nullptr);
    }
}

TEST(ImageLoad, DamagedQvtAndDdsAreLoggedAndLeftEmpty) {
    ImageMedia media;
    testing::internal::CaptureStdout();
    QV::QVTImage qvt;
    EXPECT_EQ(qvt.load("short_qvt_image", "default"), 1);
    QV::QVTImage wrongMagic;
    EXPECT_EQ(wrongMagic.load("png_image", "default"), 1);
    QV::DDSImage dxt1;
    EXPECT_EQ(dxt1.load("dxt1_image", "default"), 1);
    QV::DDSImage notDds;
    EXPECT_EQ(notDds.load("png_image", "default"), 1);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Failed to load QVT image short_qvt_image"), std::string::npos) << out;
    EXPECT_NE(out.find("Failed to load QVT image png_image"), std::string::npos) << out;
    EXPECT_NE(out.find("Failed to load DDS image dxt1_image"), std::string::npos) << out;
    EXPECT_EQ(out.find("DDS image png_image"), std::string::npos) << out;  // a wrong magic is silent
    for (QV::Image* image : {static_cast<QV::Image*>(&qvt), static_cast<QV::Image*>(&dxt1)}) {
        EXPECT_EQ(image->pixels(), nullptr);
        EXPECT_EQ(image->byteSize(), 0u);
    }
    EXPECT_EQ(dxt1.format(), QV::kImageFormatDXT1);
}

TEST(ImageLoadDeathTest, BrokenStreamsAndMissingFilesStop) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* what;
        std::function<void()> run;
        const char* message;
    } cases[] = {
        {"png probe of a missing file", [] { QV::PngImage::isPng("missing_image", "default"); },
         "ERROR: file 'missing_image' not found in package 'default'"},
        {"dds probe, unlisted name", [] { QV::DDSImage::isDDS("nothing", "ui"); },
         "ERROR: file 'nothing' not found in package 'ui'"},
        {"cut png", [] { QV::PngImage().load("cut_png_image", "default"); },
         "Description:\n  \n\nFile:\n  [^\n]*image_png"},
        {"qvt of format 9", [] { QV::QVTImage().load("format9_qvt_image", "default"); },
         "Description:\n  \n\nFile:\n  [^\n]*image_qvt"},
        {"broken jpeg", [] { QV::JpegImage().load("bad_jpeg_image", "default"); },
         "ERROR: JPEG 'bad_jpeg_image' in package 'default': colour: "},
        {"jpeg without an alpha name", [] { QV::JpegImage().load("png", "default"); },
         "has no \"_image\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EXIT(
            {
                ImageMedia media;
                c.run();
            },
            testing::ExitedWithCode(255), c.message);
    }
}

}  // namespace
