#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fast_sprite.h"
#include "support/font_fixture.h"
#include "support/ui_fixture.h"
#include "ui/ui_controller.h"
#include "ui/ui_label.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_sprite.h"

namespace {

using QV::UIProgressBar;
using QV::UIWidget;
using V = QV::Vector2<float>;

TEST(UILabel, TextIdsAndLiteralBytes) {
    QV::UILabel label("l", nullptr);
    label.setText("#");
    EXPECT_EQ(label.getText(), u"#") << "a lone '#' is literal";
    label.setText("caf\xE9");
    EXPECT_EQ(label.getText(), u"caf\xFFE9") << "bytes above 0x7F are sign-extended";
    label.setText("#NO_SUCH_ID");
    EXPECT_EQ(label.getText(), u"!ERROR!");
    // Without a preset or a colour the text is drawn fully transparent.
    label.mTransparency = 0.5f;
    EXPECT_EQ(label.drawColor().a, 0);
    label.mTextColor = QV::Color::fromBytes(10, 20, 30, 200);
    EXPECT_EQ(label.drawColor(), QV::Color::fromBytes(10, 20, 30, 100));
}

TEST(UISprite, TintStaysTheSameFrameAfterFrame) {
    QV::UISprite sprite("s", nullptr, nullptr, false);
    sprite.mBaseColor = QV::Color::fromBytes(200, 100, 50, 255);
    sprite.mColor = QV::Color::fromBytes(128, 128, 128, 255);
    sprite.mTransparency = 0.5f;
    const QV::Color first = sprite.drawColor();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(sprite.drawColor(), first);
    EXPECT_EQ(first.r, QV::colorByteFromFloat((200 / 255.0f) * (128 / 255.0f)));
    EXPECT_EQ(first.a, QV::colorByteFromFloat(0.5f));
    sprite.mScale = V(2, 0.5f);
    sprite.mSize = V(10, 10);
    EXPECT_EQ(sprite.getSize(), V(20, 5));
}

class UIBar : public testing::Test {
protected:
    // A horizontal bar 220 wide (a child spans it) with insets 10 and 10: a 200-pixel track.
    UIProgressBar* bar(bool kinetic = false) {
        UIWidget* root = new UIWidget("root", nullptr);
        root->mPosition = V(40, 20);
        world.ui().addRootWidget(root);
        auto* b = new UIProgressBar("bar", root);
        root->addChild(b, -1);
        UIWidget* span = new UIWidget("span", b);
        span->mSize = V(220, 20);
        b->addChild(span, -1);
        b->mLrOffsets[0] = b->mLrOffsets[1] = 10.0f;
        b->mKinetic = kinetic;
        return b;
    }
    QV::UIPCController& pc() { return *world.ui().getPCController(); }
    qvtest::UIWorld world;
};

TEST_F(UIBar, DragFollowsThePointerAlongTheTrack) {
    UIProgressBar* b = bar();
    b->updateTree(0.016f);
    EXPECT_FLOAT_EQ(b->mTrackLength, 200.0f);
    pc().mPointerPosition = V(40 + 150, 30);
    b->processMessage(QV::kUIMessageHeld);
    EXPECT_TRUE(b->isDragging());
    EXPECT_EQ(world.ui().getCapturedWidget(), b);
    b->updateTree(0.016f);
    EXPECT_FLOAT_EQ(b->getValue(), 0.75f);
    pc().mPointerPosition = V(0, 30);
    b->updateTree(0.016f);
    EXPECT_FLOAT_EQ(b->getValue(), 0.0f) << "clamped below at 0";
    b->processMessage(QV::kUIMessageRelease);
    EXPECT_FALSE(b->isDragging());
    EXPECT_EQ(world.ui().getCapturedWidget(), nullptr);
    b->mLocked = true;
    b->processMessage(QV::kUIMessageHeld);
    EXPECT_FALSE(b->isDragging()) << "a locked bar never drags";
    EXPECT_EQ(world.ui().getCapturedWidget(), nullptr);
}

TEST_F(UIBar, KineticMotionNeverOvershootsAndStaysFinite) {
    UIProgressBar* b = bar(true);
    b->updateTree(0.016f);
    b->mKineticSpeed = 1e6f;
    b->setValue(0.9f);
    EXPECT_FLOAT_EQ(b->getValue(), 0.0f) << "a kinetic bar takes the value as its target";
    b->updateTree(0.5f);
    EXPECT_FLOAT_EQ(b->getValue(), 0.9f) << "the gain stops at the target";
    b->mKineticSpeed = 10.0f;
    b->setValue(0.1f);
    float previous = b->getValue();
    for (int i = 0; i < 60; ++i) {
        b->updateTree(1.0f / 60.0f);
        EXPECT_LE(b->getValue(), previous);
        EXPECT_GE(b->getValue(), 0.1f - 1e-6f);
        previous = b->getValue();
    }
    b->jumpToValue(2.0f);
    EXPECT_FLOAT_EQ(b->getValue(), 1.0f);
    EXPECT_FLOAT_EQ(b->getTarget(), 1.0f);
}

TEST_F(UIBar, NoTrackNoDrag) {
    UIProgressBar* b = bar();
    b->mLrOffsets[0] = b->mLrOffsets[1] = 200.0f;
    b->updateTree(0.016f);
    EXPECT_LT(b->mTrackLength, 0.0f);
    pc().mPointerPosition = V(100, 30);
    b->processMessage(QV::kUIMessageHeld);
    b->updateTree(0.016f);
    EXPECT_TRUE(std::isfinite(b->getValue()));
    EXPECT_FLOAT_EQ(b->getValue(), 0.0f);
}

}  // namespace
