#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "animationeditor/marker.h"
#include "animationeditor/node_timeline.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "dialogs/confirm_window.h"
#include "dialogs/ingame_menu_window.h"
#include "dialogs/map_menu_window.h"
#include "dialogs/options_window.h"
#include "dialogs/reset_question_window.h"
#include "dialogs/scroll_bar.h"
#include "dialogs/scroll_bar_listener.h"
#include "game/dialogs/menus_world.h"
#include "ui/ui_button.h"
#include "ui/wide_string.h"

namespace {

using menustest::MenusWorld;

// Where the menus' bars lie on the 1280 x 720 screen: each track is 240 x 24
// from x 520; the thumb's first key is at its left end, its last at its right end.
constexpr int kTrackLeft = 520;
constexpr int kMenuSoundY = 230, kMenuMusicY = 312;
constexpr int kOptionsSoundY = 318, kOptionsMusicY = 392;

void openShown(MenusWorld& w, DialogWindow& window) {
    w.frames(6);
    ASSERT_EQ(window.mState, DialogWindow::Shown);
}

// The menus' bars follow a drag over the bar, from the thumb's first key (0)
// to past its last (above 1, passed on), and hold still off the bar.
TEST(MenuWindows, DraggingTheSoundBarSetsTheVolumeAtOnceAndCloseRestoresIt) {
    MenusWorld w;
    w.profile().setSoundVolume(0.8f);
    w.profile().setMusicVolume(0.6f);
    IngameMenuWindow menu;
    menu.open();
    openShown(w, menu);
    EXPECT_EQ(menu.mResult, 1);
    EXPECT_FLOAT_EQ(menu.mSoundBar->mValue, 0.8f);

    w.press(kTrackLeft + 120, kMenuSoundY);
    EXPECT_NEAR(w.profile().mSoundVolume, 0.5f, 0.01f);
    w.moveTo(kTrackLeft + 240, kMenuSoundY);
    EXPECT_NEAR(w.profile().mSoundVolume, 1.0f, 0.01f);
    // Off the bar nothing changes, also with the button held.
    w.moveTo(kTrackLeft + 120, kMenuSoundY + 60);
    EXPECT_NEAR(w.profile().mSoundVolume, 1.0f, 0.01f);
    // The knob reaches past the track's end: a value above 1, passed on.
    w.moveTo(kTrackLeft + 250, kMenuSoundY);
    EXPECT_GT(w.profile().mSoundVolume, 1.0f);
    w.release();
    // Left of the first key on the knob: 0.
    w.press(kTrackLeft + 2, kMenuSoundY);
    EXPECT_GT(w.profile().mSoundVolume, 0.0f);
    w.moveTo(kTrackLeft - 10, kMenuSoundY);
    EXPECT_FLOAT_EQ(w.profile().mSoundVolume, 0.0f);
    w.release();
    EXPECT_FLOAT_EQ(w.profile().mMusicVolume, 0.6f);  // the other bar did not move

    w.clickWidget(menu, "btnClose", 48, 48);
    w.frames(4);
    EXPECT_EQ(menu.mState, DialogWindow::Hidden);
    EXPECT_EQ(menu.mResult, 1);
    EXPECT_FLOAT_EQ(w.profile().mSoundVolume, 0.8f);
    EXPECT_FLOAT_EQ(w.profile().mMusicVolume, 0.6f);
}

TEST(MenuWindows, AcceptKeepsTheDraggedMusicVolumeAndSavesTheProfile) {
    MenusWorld w;
    w.profile().setMusicVolume(0.2f);
    MapMenuWindow menu;
    menu.open();
    openShown(w, menu);
    const std::string file = w.dir.file("profile_0.dat");
    std::filesystem::remove(file);
    w.press(kTrackLeft + 180, kMenuMusicY);
    w.release();
    EXPECT_NEAR(w.profile().mMusicVolume, 0.75f, 0.01f);
    EXPECT_FALSE(std::filesystem::exists(file));  // nothing saved while dragging
    w.clickWidget(menu, "btnAccept", 176, 64);
    w.frames(4);
    EXPECT_EQ(menu.mState, DialogWindow::Hidden);
    EXPECT_EQ(menu.mResult, 1);
    EXPECT_NEAR(w.profile().mMusicVolume, 0.75f, 0.01f);
    EXPECT_TRUE(std::filesystem::exists(file));
}

TEST(MenuWindows, TheMapMenusMainMenuPutsTheVolumesBackAndClosesWithZero) {
    MenusWorld w;
    w.profile().setSoundVolume(0.4f);
    MapMenuWindow menu;
    menu.open();
    openShown(w, menu);
    w.press(kTrackLeft + 240, kMenuSoundY);
    w.release();
    EXPECT_NEAR(w.profile().mSoundVolume, 1.0f, 0.01f);
    w.clickWidget(menu, "btnMainMenu", 176, 64);
    w.frames(4);
    EXPECT_EQ(menu.mState, DialogWindow::Hidden);
    EXPECT_EQ(menu.mResult, 0);
    EXPECT_FLOAT_EQ(w.profile().mSoundVolume, 0.4f);
}

// Leaving the level asks first: "No" keeps the menu (1), "Yes" closes both (0).
// While the question covers the menu, its bars ignore the mouse.
TEST(MenuWindows, TheInLevelMenuLeavesOnlyAfterTheConfirmation) {
    MenusWorld w;
    w.profile().setSoundVolume(0.8f);
    IngameMenuWindow menu;
    menu.open();
    openShown(w, menu);
    w.clickWidget(menu, "btnMap", 176, 64);
    w.frames(6);
    ASSERT_EQ(menu.mConfirmWindow->mState, DialogWindow::Shown);
    w.press(kTrackLeft + 30, kMenuSoundY);
    w.release();
    EXPECT_FLOAT_EQ(w.profile().mSoundVolume, 0.8f);
    w.clickWidget(*menu.mConfirmWindow, "btnReject", 176, 64);
    w.frames(4);
    EXPECT_EQ(menu.mConfirmWindow->mState, DialogWindow::Hidden);
    EXPECT_EQ(menu.mState, DialogWindow::Shown);
    EXPECT_EQ(menu.mResult, 1);

    w.clickWidget(menu, "btnMap", 176, 64);
    w.frames(6);
    w.clickWidget(*menu.mConfirmWindow, "btnAccept", 176, 64);
    w.frames(6);
    EXPECT_EQ(menu.mState, DialogWindow::Hidden);
    EXPECT_EQ(menu.mResult, 0);
}

struct Heard : ScrollBarListener {
    int calls = 0;
    void onValueChanged(ScrollBar*, float) override { ++calls; }
};

// A bar whose thumb keys stand at one place gives no value: the drag leaves
// the value as it was and tells no one (no division by zero reaches the volumes).
TEST(MenuWindows, ABarWhoseThumbKeysCoincideKeepsItsValue) {
    MenusWorld w;
    MapMenuWindow menu;
    menu.open();
    openShown(w, menu);
    AE::ISceneNode* node = menu.mSoundBar->mBar;
    AE::NodeTimeline& keys = *menu.mSoundBar->mThumb->mTimeline;
    keys.getFloatKey("posX", static_cast<int>(keys.mKeyFrames.size()) - 1).value = keys.getFloatKey("posX", 0).value;
    ScrollBar bar(node);
    Heard heard;
    bar.mListener = &heard;
    bar.setValue(0.3f);
    bar.mActive = true;
    w.press(kTrackLeft + 10, kMenuSoundY);
    bar.update();
    w.release();
    EXPECT_EQ(heard.calls, 0);
    EXPECT_FLOAT_EQ(bar.mValue, 0.3f);
    EXPECT_TRUE(std::isfinite(w.profile().mSoundVolume));
}

// A bar whose node has "#ver" reads the pointer's y against the posY keys.
TEST(MenuWindows, AVerticalBarMapsThePointersY) {
    MenusWorld w;
    MapMenuWindow menu;
    menu.open();
    openShown(w, menu);
    AE::ISceneNode* node = menu.mSoundBar->mBar;
    node->addMarker(new AE::Marker("#ver"));
    AE::NodeTimeline& keys = *menu.mSoundBar->mThumb->mTimeline;
    keys.getFloatKey("posY", 0).value = 0.0f;
    keys.getFloatKey("posY", static_cast<int>(keys.mKeyFrames.size()) - 1).value = 24.0f;
    ScrollBar bar(node);
    ASSERT_EQ(bar.mVertical, 1);
    Heard heard;
    bar.mListener = &heard;
    bar.mActive = true;
    w.press(kTrackLeft + 200, 218 + 6);
    bar.update();
    w.release();
    EXPECT_EQ(heard.calls, 1);
    EXPECT_NEAR(bar.mValue, 0.25f, 0.05f);
}

std::string timerText(const ResetQuestionWindow& window) { return QV::toNarrow(window.mTimerText->mText); }

// The options window writes the check boxes into the profile in the frame
// they change and sets the volumes; the reset question must be held for
// three seconds (counting 3, 2, 1) and then starts the game over.
TEST(OptionsWindow, CheckBoxesWriteTheProfileInTheSameFrame) {
    MenusWorld w;
    w.profile().mFullScreen = 1;
    w.profile().mCustomCursor = 0;
    OptionsWindow options;
    ASSERT_EQ(OptionsWindow::instancePointer(), &options);
    options.open();
    openShown(w, options);
    auto* full = static_cast<QV::UICheckBox*>(options.mRoot->findChild("checkFullScreen"));
    auto* cursor = static_cast<QV::UICheckBox*>(options.mRoot->findChild("checkGameCursor"));
    EXPECT_TRUE(full->isChecked());
    EXPECT_FALSE(cursor->isChecked());
    w.clickWidget(options, "checkFullScreen", 40, 40);
    EXPECT_EQ(w.profile().mFullScreen, 0);
    w.clickWidget(options, "checkGameCursor", 40, 40);
    EXPECT_EQ(w.profile().mCustomCursor, 1);
    w.press(kTrackLeft + 60, kOptionsSoundY);
    w.release();
    w.press(kTrackLeft + 120, kOptionsMusicY);
    w.release();
    EXPECT_NEAR(w.profile().mSoundVolume, 0.25f, 0.01f);
    EXPECT_NEAR(w.profile().mMusicVolume, 0.5f, 0.01f);
    // Close puts the volumes back, not the check boxes.
    w.clickWidget(options, "btnClose", 48, 48);
    w.frames(4);
    EXPECT_EQ(options.mState, DialogWindow::Hidden);
    EXPECT_FLOAT_EQ(w.profile().mSoundVolume, 0.8f);
    EXPECT_EQ(w.profile().mFullScreen, 0);
    EXPECT_EQ(w.profile().mCustomCursor, 1);
}

TEST(OptionsWindow, HoldingTheResetThreeSecondsStartsOverAndAnEarlyReleaseDoesNothing) {
    MenusWorld w;
    w.profile().setSilver(999);
    OptionsWindow options;
    options.open();
    openShown(w, options);
    w.clickWidget(options, "btnReset", 176, 64);
    w.frames(6);
    ResetQuestionWindow& question = *options.mResetWindow;
    ASSERT_EQ(question.mState, DialogWindow::Shown);
    EXPECT_FALSE(question.mTimerText->mEnabled);
    // The options' bars do not react under the question.
    const float sound = w.profile().mSoundVolume;
    w.press(kTrackLeft + 10, kOptionsSoundY);
    w.release();
    EXPECT_FLOAT_EQ(w.profile().mSoundVolume, sound);

    // Held for one second and released: the question stays, nothing resets.
    w.press(550, 430);
    EXPECT_TRUE(question.mTimerText->mEnabled);
    EXPECT_EQ(timerText(question), "3");
    w.frames(10);
    EXPECT_EQ(timerText(question), "2");
    w.release();
    w.frames(30);
    EXPECT_EQ(question.mState, DialogWindow::Shown);
    EXPECT_FALSE(question.mTimerText->mEnabled);
    EXPECT_EQ(w.profile().mSilver, 999);

    // Held three seconds: 3, 2, 1, then the game starts over.
    w.press(550, 430);
    w.frames(25);
    EXPECT_EQ(timerText(question), "1");
    EXPECT_EQ(question.mState, DialogWindow::Shown);
    w.frames(4);
    EXPECT_EQ(question.mState, DialogWindow::Shown);
    w.frames(1);
    EXPECT_NE(question.mState, DialogWindow::Shown);
    EXPECT_EQ(question.mResult, 0);
    w.release();
    w.frames(6);
    EXPECT_EQ(question.mState, DialogWindow::Hidden);
    EXPECT_EQ(w.profile().mSilver, 350);
    EXPECT_EQ(options.mState, DialogWindow::Shown);
}

TEST(OptionsWindow, RejectingTheResetLeavesTheProfile) {
    MenusWorld w;
    w.profile().setSilver(999);
    OptionsWindow options;
    options.open();
    openShown(w, options);
    w.clickWidget(options, "btnReset", 176, 64);
    w.frames(6);
    w.clickWidget(*options.mResetWindow, "btnReject", 176, 64);
    w.frames(6);
    EXPECT_EQ(options.mResetWindow->mState, DialogWindow::Hidden);
    EXPECT_EQ(options.mResetWindow->mResult, 1);
    EXPECT_EQ(w.profile().mSilver, 999);
}

}  // namespace
