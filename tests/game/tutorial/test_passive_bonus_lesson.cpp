#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include <memory>
#include <string>

#include "animationeditor/scene_node.h"
#include "dialogs/play_level_window.h"
#include "game/dialogs/level_windows_world.h"
#include "lua_script2.h"
#include "tutorial/game_event.h"
#include "tutorial/mask_blackout.h"
#include "tutorial/passive_bonus_tutorial_lesson.h"
#include "tutorial/tutorial_lesson_factory.h"
#include "tutorial/tutorial_window.h"

namespace {

std::vector<qvtest::FontMediaFile> tutorialMedia() {
    std::vector<qvtest::FontMediaFile> files;
    for (const auto& [resource, file] : std::vector<std::pair<std::string, std::string>>{
             {"tutorial_window_ui", "tutorial/tutorial_window.lua"},
             {"tutorial_window_scene_xml", "tutorial/tutorial_window_scene.xml"},
             {"tutorial_sprites_lua", "tutorial/tutorial_sprites.lua"},
             {"tutorial_panel_png", "tutorial/tutorial_panel.png"},
             {"tutorial_arrow_png", "tutorial/tutorial_arrow.png"},
             {"tutorial_aura_png", "tutorial/tutorial_aura.png"},
             {"tutorial_mask_round_png", "tutorial/mask_round.png"},
         })
        files.push_back(qvtest::repositoryFile(resource, file));
    return files;
}

struct Completions : TutorialLessonListener {
    int count = 0;
    void onLessonCompleted() override { ++count; }
};

std::unique_ptr<PassiveBonusTutorialLesson> colorLesson(TutorialLessonListener* listener) {
    QV::LuaScript2 script(QV::createLuaState());
    EXPECT_EQ(luaL_dostring(script.state(), "data = { bonus = 'color', text = 'TUTORIAL_PASSIVE', "
                                            "maskFile = 'tutorial_sprites_lua', maskTable = 'mask_round' }"),
              0);
    EXPECT_TRUE(script.openTable("data"));
    return std::unique_ptr<PassiveBonusTutorialLesson>(static_cast<PassiveBonusTutorialLesson*>(
        getTutorialLessonFactory().create("PassiveBonusLesson", script, listener)));
}

void showWindow(leveltest::LevelWorld& w, PlayLevelWindow& window) {
    LevelPreview preview = leveltest::level("2", 4, 0);
    fillPassiveSlots(w.profile(), &preview);
    window.openForLevel(preview, false);
    for (int i = 0; i < 20 && window.mState != DialogWindow::Shown; ++i) w.frames(1);
    ASSERT_EQ(window.mState, DialogWindow::Shown);
}

// A newly unlocked passive booster: the window points at its slot (the second
// here) over a mask centred there, without aura; closing it clears the notice.
TEST(PassiveBonusLesson, PointsAtTheNewPassiveBoostersSlotUntilClosed) {
    leveltest::LevelWorld w(qvtest::HostDevice::None, tutorialMedia());
    w.profile().mUnlockedPassiveBoosters = {2, 0};
    w.profile().mPassiveUnlockNotice = 1;
    PlayLevelWindow window;
    showWindow(w, window);
    Completions done;
    auto lesson = colorLesson(&done);
    auto* event = new PlayLevelWindowGameEvent(&window);
    lesson->onGameEvent(event);
    delete event;
    ASSERT_EQ(lesson->mState, TutorialLesson::Active);
    ASSERT_NE(lesson->mWindow, nullptr);
    EXPECT_EQ(lesson->mSlotNode, window.mSlotNodes[1]->findNode("regular"));
    const QV::Vector2<float> at = lesson->slotPoint();
    EXPECT_EQ(lesson->mWindow->mTarget.x, at.x);
    auto* mask = dynamic_cast<MaskBlackout*>(lesson->mWindow->mRenderer->mBlackout);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->mMaskOffsetH.x, -79.0f);
    EXPECT_FALSE(lesson->mWindow->mScene->findNode("#aura")->mEnabled);
    w.frames(10);
    lesson->mWindow->onCloseClicked();
    w.frames(10);
    EXPECT_EQ(lesson->mState, TutorialLesson::Done);
    EXPECT_EQ(lesson->mWindow, nullptr);
    EXPECT_EQ(w.profile().mPassiveUnlockNotice, 0);
    EXPECT_EQ(done.count, 1);
}

TEST(PassiveBonusLesson, WithoutANewUnlockItFinishesWithoutAWindow) {
    leveltest::LevelWorld w(qvtest::HostDevice::None, tutorialMedia());
    w.profile().mUnlockedPassiveBoosters = {0};
    w.profile().mPassiveUnlockNotice = 0;
    PlayLevelWindow window;
    showWindow(w, window);
    Completions done;
    auto lesson = colorLesson(&done);
    auto* event = new PlayLevelWindowGameEvent(&window);
    lesson->onGameEvent(event);
    delete event;
    EXPECT_EQ(lesson->mState, TutorialLesson::Done);
    EXPECT_EQ(lesson->mWindow, nullptr);
    EXPECT_EQ(done.count, 1);
}

}  // namespace
