#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "animationeditor/frame_data.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "animationeditor/vector_stream.h"
#include "support/gl_required.h"
#include "support/font_fixture.h"
#include "support/sprite_fixture.h"
#include "support/temp_dir.h"
#include "ui/ui_font.h"
#include "sprite_manager.h"
#include "ui/ui_font_manager.h"

namespace {

using AE::TextSceneNode;

// The shipped small font and font2, the presets, and an English string table.
std::vector<qvtest::FontMediaFile> textMedia() {
    const std::string media = QV_SOURCE_DIR "/media";
    std::vector<qvtest::FontMediaFile> files = {
        {"default", "small_font_fnt", "/fonts/small_font.lua", ""},
        {"default", "small_font_image", "/fonts/small_font.png", ""},
        {"default", "small_font_mip1_image", "/fonts/small_font_mip1.png", ""},
        {"default", "font2_fnt", "/fonts/font2.lua", ""},
        {"default", "font2_image", "/fonts/font2.png", ""},
        {"default", "font2_mip1_image", "/fonts/font2_mip1.png", ""},
        {"default", "font2_mip2_image", "/fonts/font2_mip2.png", ""},
        {"default", "font_presets_lua", "/fonts/font_presets.lua", ""},
    };
    for (qvtest::FontMediaFile& f : files) f.bytes = qvtest::readFile(media + f.location);
    files.push_back({"en", "strings_xml", "/en/strings.xml",
                     "<?xml version=\"1.0\"?><root><string><text>LEVEL_NUM</text><translate>Level</translate>"
                     "</string></root>"});
    return files;
}

qvtest::FontWorldOptions recording() {
    qvtest::FontWorldOptions options;
    options.device = qvtest::FontWorldOptions::Device::Recording;
    options.workspaceWidth = 256;
    options.workspaceHeight = 64;
    return options;
}

TEST(TextSceneNode, ShowsTextOrItsTranslation) {
    qvtest::FontWorld world(textMedia());
    world.texts();
    TextSceneNode n("small_font_fnt", u"LEVEL_NUM");
    EXPECT_EQ(n.mDisplayedText, u"LEVEL_NUM");
    n.mTranslate = true;
    n.refreshText();
    EXPECT_EQ(n.mDisplayedText, u"Level");
    n.setText("NO_SUCH_ID");
    EXPECT_EQ(n.mDisplayedText, u"!ERROR!");
    n.mTranslate = false;
    n.setText("Score 10");
    EXPECT_EQ(n.mDisplayedText, u"Score 10");
    // Bytes above 127 keep their Latin-1 value.
    n.setText("caf\xE9");
    EXPECT_EQ(n.mDisplayedText, u"caf\u00E9");
    EXPECT_EQ(n.getSize(), QV::Vector2<float>(64.0f, 64.0f));
    n.setSize(QV::Vector2<float>(100.0f, 20.0f));
    EXPECT_EQ(n.getSize(), QV::Vector2<float>(100.0f, 20.0f));
    EXPECT_EQ(n.mFileName, "small_font_fnt");
}

TEST(TextSceneNode, AutoScaleShrinksTextToTheAreaMeasuringWhatIsDrawn) {
    qvtest::FontWorld world(textMedia(), recording());
    TextSceneNode n("small_font_fnt", u"Glimvale");
    ASSERT_NE(n.mFont, nullptr);
    const std::u16string& t = n.mDisplayedText;
    const float all = n.mFont->measureRun(t.data(), t.data() + t.size(), 0.0f);
    const float three = n.mFont->measureRun(t.data(), t.data() + 3, 0.0f);
    n.mAutoScale = true;
    struct Case {
        int maxChar;
        float measured;
    };
    // A limit of 0 or below draws every character, so every one is measured.
    for (const Case& c : {Case{-1, all}, Case{0, all}, Case{3, three}, Case{100, all}}) {
        n.mMaxChar = c.maxChar;
        n.mTextArea = QV::Vector2<float>(c.measured / 2.0f, 20.0f);
        n.updateDerived(0.0f);
        EXPECT_FLOAT_EQ(n.mDrawMatrix.m00, 0.5f) << c.maxChar;
        EXPECT_FLOAT_EQ(n.mDrawMatrix.m11, 0.5f) << c.maxChar;
        EXPECT_FLOAT_EQ(n.mFittedArea.x, c.measured) << c.maxChar;
    }
    n.mTextArea = QV::Vector2<float>(all * 2.0f, 20.0f);
    n.mMaxChar = -1;
    n.updateDerived(0.0f);
    EXPECT_EQ(n.mDrawMatrix.m00, 1.0f);  // fits already

    // It draws glyphs through the font.
    world.frame([] {});
    world.frame([&] { n.draw(); });
}

TEST(TextSceneNode, PresetsTakeOverTheLayoutParametersUntilSwitchedOff) {
    qvtest::FontWorld world(textMedia());
    TextSceneNode n("font2_fnt", u"Hi");
    n.setKeyValues(0, 0, 0, 0, 0, 1, 1, QV::Color::fromBytes(255, 255, 255, 255), QV::Matrix3(),
                   QV::Vector2<float>());
    n.mTimeline->getIntKey("halign", 0).value = 2;
    n.mTimeline->getFloatKey("ycoeff", 0).value = 3.0f;
    n.mPresetName = "paragraph_text";
    n.setPresetMode(true);
    EXPECT_TRUE(n.mUsePreset);
    EXPECT_EQ(n.mHAlign, 1);
    EXPECT_FLOAT_EQ(n.mYCoeff, 0.4f);
    EXPECT_TRUE(n.mWordWrap);
    EXPECT_EQ(n.mFileName, "small_font_fnt");
    EXPECT_EQ(n.mColor, QV::Color::fromBytes(255, 244, 214, 255));
    n.gotoFrame(0);
    EXPECT_EQ(n.mHAlign, 1);  // the timeline no longer writes it
    n.setPresetMode(false);
    n.gotoFrame(0);
    EXPECT_EQ(n.mHAlign, 2);
    EXPECT_FLOAT_EQ(n.mYCoeff, 3.0f);
    // A preset that does not exist falls back to the animated parameters.
    n.mPresetName = "no_such_preset";
    n.setPresetMode(true);
    EXPECT_FALSE(n.mUsePreset);
    n.mTimeline->getIntKey("halign", 0).value = 0;
    n.gotoFrame(0);
    EXPECT_EQ(n.mHAlign, 0);
}

// A masked text under a 16 x 64 mask at the left draws only inside it.
TEST(TextSceneNode, StencilledTextDrawsOnlyInsideItsMaskSprite) {
    std::vector<qvtest::FontMediaFile> files = textMedia();
    files.push_back({"default", "mask_png", "/images/mask.png",
                     qvtest::blockPng(16, 64, 16, {QV::Color::fromBytes(0, 0, 0, 255)})});
    qvtest::FontWorldOptions options;
    options.device = qvtest::FontWorldOptions::Device::OpenGL;
    options.workspaceWidth = 64;
    options.workspaceHeight = 64;
    qvtest::FontWorld world(files, options);
    if (!world.ready()) QV_GL_UNAVAILABLE() << "no OpenGL window";
    auto litColumns = [&](bool stencil) {
        std::unique_ptr<AE::ISceneNode> root(new AE::ISceneNode());
        AE::SpriteSceneNode* mask = new AE::SpriteSceneNode();
        mask->setSprite(world.sprites().createSpriteFromImage("mask_png", "default"));
        mask->mUseStencil = AE::kStencilMask;
        root->addChild(mask, AE::KeepTransform::Local);
        // Two texts in a row under the same mask.
        for (float y : {4.0f, 30.0f}) {
            TextSceneNode* text = new TextSceneNode("font2_fnt", u"WWWWWW");
            text->mStencil = stencil;
            text->mTextArea = QV::Vector2<float>(64.0f, 24.0f);
            text->setPosition(QV::Vector2<float>(0.0f, y));
            mask->addChild(text, AE::KeepTransform::Local);
        }
        root->update(0.0f);
        world.frame([] {});
        world.frame([&] { AE::drawScene(root.get()); });
        std::vector<uint8_t> bgra;
        uint32_t width = 0, height = 0;
        std::vector<bool> lit(64, false);
        if (!world.readBack(&bgra, &width, &height)) return lit;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width && x < 64; ++x)
                if (bgra[(size_t(y) * width + x) * 4 + 1] > 128) lit[x] = true;
        return lit;
    };
    const std::vector<bool> free = litColumns(false);
    const std::vector<bool> masked = litColumns(true);
    int freeRight = 0, maskedRight = 0, maskedLeft = 0;
    for (int x = 0; x < 64; ++x) {
        if (x >= 16) freeRight += free[x];
        if (x >= 16) maskedRight += masked[x];
        if (x < 16) maskedLeft += masked[x];
    }
    EXPECT_GT(freeRight, 10);
    EXPECT_EQ(maskedRight, 0);
    EXPECT_GT(maskedLeft, 4);
}

TEST(TextSceneNode, ChangingFontsGivesTheOldOneBack) {
    qvtest::FontWorld world(textMedia());
    {
        TextSceneNode n("small_font_fnt", u"a");
        n.setFont("font2_fnt");
        EXPECT_EQ(world.fonts().fontCount(), 1u);
        n.setFont("no_such_fnt");  // unknown: nothing changes
        EXPECT_EQ(n.mFileName, "font2_fnt");
    }
    EXPECT_EQ(world.fonts().fontCount(), 0u);
}

TEST(TextSceneNode, KeysFrameDataAndSnapshots) {
    qvtest::FontWorld world(textMedia());
    TextSceneNode n("small_font_fnt", u"Hello");
    n.mTextArea = QV::Vector2<float>(80.0f, 16.0f);
    n.mMaxChar = 4;
    n.mHAlign = 2;
    n.addKeyFrame(3);
    std::unique_ptr<AE::IFrameData> data(n.createFrameData(3, false));
    auto* text = dynamic_cast<AE::TextFrameData*>(data.get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->kindCode(), 168);
    EXPECT_EQ(text->textArea, QV::Vector2<float>(80.0f, 16.0f));
    EXPECT_EQ(text->maxChar, 4);
    EXPECT_EQ(text->halign, 2);
    TextSceneNode other("small_font_fnt", u"");
    other.storeKeyFrame(7, *text);
    EXPECT_EQ(other.mTimeline->getIntKey("maxChar", 0).value, 4);

    n.mTranslate = false;
    n.mStencil = true;
    n.mPresetName = "title_text";
    std::vector<uint8_t> bytes;
    AE::VectorStream out(&bytes);
    n.write(out, false);
    TextSceneNode back("", u"");
    AE::VectorStream in(&bytes);
    back.read(in);
    EXPECT_EQ(in.position(), bytes.size());
    EXPECT_EQ(back.mText, u"Hello");
    EXPECT_EQ(back.mDisplayedText, u"Hello");
    EXPECT_EQ(back.mPresetName, "title_text");
    EXPECT_EQ(back.mMaxChar, 4);
    EXPECT_TRUE(back.mStencil);
    EXPECT_NE(back.mFont, nullptr);  // taken again by its file name
    std::unique_ptr<AE::ISceneNodeData> snap(n.createNodeData(false));
    EXPECT_EQ(snap->getType(), 175);
    EXPECT_EQ(dynamic_cast<AE::TextSceneNodeData&>(*snap).text, u"Hello");
}

}  // namespace
