#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include <memory>
#include <string>

#include "animationeditor/marker.h"
#include "color.h"
#include "game/dialogs/menus_world.h"
#include "lua_script2.h"
#include "tutorial/bonus_tutorial_lesson.h"
#include "tutorial/destroy_chip_tutorial_lesson.h"
#include "tutorial/game_event.h"
#include "tutorial/info_tutorial_lesson.h"
#include "tutorial/mask_blackout.h"
#include "tutorial/multi_tutorial_lesson.h"
#include "tutorial/solid_blackout.h"
#include "tutorial/tutorial_lesson_factory.h"
#include "tutorial/tutorial_window.h"
#include "ui/ui_widget.h"

namespace {

using menustest::MenusWorld;

// A lesson's "data" table, open for reading as the sequence hands it over.
struct LessonData {
    QV::LuaScript2 script{QV::createLuaState()};
    explicit LessonData(const std::string& fields) {
        const std::string chunk = "data = { " + fields + " }";
        EXPECT_EQ(luaL_dostring(script.state(), chunk.c_str()), 0) << lua_tostring(script.state(), -1);
        EXPECT_TRUE(script.openTable("data"));
    }
};

struct Completions : TutorialLessonListener {
    int count = 0;
    void onLessonCompleted() override { ++count; }
};

template <class Lesson>
std::unique_ptr<Lesson> make(const std::string& className, const std::string& fields, TutorialLessonListener* listener) {
    LessonData data(fields);
    return std::unique_ptr<Lesson>(
        static_cast<Lesson*>(getTutorialLessonFactory().create(className, data.script, listener)));
}

void offer(TutorialLesson& lesson, GameEvent* event) {
    lesson.onGameEvent(event);
    delete event;
}

void destroyChipAt(TutorialLesson& lesson, int column, int row) {
    ChipDestroyInfo info;
    info.column = column;
    info.row = row;
    offer(lesson, new DestroyChipGameEvent(info));
}

constexpr const char* kMask = "maskFile = \"tutorial_sprites_lua\", maskTable = \"mask_cells_v\"";

// The registered class names build the lesson kinds.
TEST(TutorialLessons, TheGameFactoryKnowsEveryLessonClass) {
    for (const char* name : {"DestroyChipLesson", "InfoLesson", "MultiLesson", "BonusLesson", "PassiveBonusLesson"})
        EXPECT_TRUE(getTutorialLessonFactory().isRegistered(name)) << name;
}

// "chips" reads {column, row} pairs and {x =, y =} tables; a missing part is 0.
TEST(TutorialLessons, TheCellLessonReadsItsCellsInBothFormsAndItsDefaults) {
    Completions done;
    auto lesson = make<DestroyChipTutorialLesson>(
        "DestroyChipLesson", "chips = { {2, 8}, {x = 3, y = 9}, {y = 4}, {5} }, padding = {1, 2}", &done);
    ASSERT_EQ(lesson->mCells.size(), 4u);
    EXPECT_EQ(lesson->mCells[0], std::make_pair(2, 8));
    EXPECT_EQ(lesson->mCells[1], std::make_pair(3, 9));
    EXPECT_EQ(lesson->mCells[2], std::make_pair(0, 4));
    EXPECT_EQ(lesson->mCells[3], std::make_pair(5, 0));
    EXPECT_EQ(lesson->mArrowMarkers[0], "90");
    EXPECT_EQ(lesson->mArrowMarkers[1], "90");
    EXPECT_EQ(lesson->mPadding.y, 2.0f);
    EXPECT_EQ(lesson->mOffset.x, 0.0f);
    EXPECT_TRUE(lesson->mText.empty());
}

// The cell lesson of level A ignores level B; started, it shows its window
// over a mask blackout, lets only its cells take clicks, and a chip destroyed
// in one of them hides the window and completes it.
TEST(TutorialLessons, TheCellLessonRestrictsClicksUntilAListedChipIsDestroyed) {
    MenusWorld w;
    Completions done;
    auto lesson = make<DestroyChipTutorialLesson>(
        "DestroyChipLesson", std::string("level = \"a_lua\", text = \"TUTORIAL_SWAP\", chips = { {2, 8}, {2, 9} }, ") + kMask,
        &done);
    offer(*lesson, new BeginLevelGameEvent("b_lua"));
    EXPECT_EQ(lesson->mState, TutorialLesson::Waiting);
    EXPECT_TRUE(lesson->isCellAllowed(0, 0));

    offer(*lesson, new BeginLevelGameEvent("a_lua"));
    ASSERT_EQ(lesson->mState, TutorialLesson::Active);
    ASSERT_NE(lesson->mWindow, nullptr);
    EXPECT_TRUE(lesson->mWindow->mRoot->isVisible());
    EXPECT_NE(dynamic_cast<MaskBlackout*>(lesson->mWindow->mRenderer->mBlackout), nullptr);
    EXPECT_TRUE(lesson->isCellAllowed(2, 8));
    EXPECT_TRUE(lesson->isCellAllowed(2, 9));
    EXPECT_FALSE(lesson->isCellAllowed(3, 8));
    w.frames(10);

    destroyChipAt(*lesson, 5, 5);
    EXPECT_FALSE(lesson->mWindow->isHiding());
    destroyChipAt(*lesson, 2, 9);
    EXPECT_TRUE(lesson->mWindow->isHiding());
    w.frames(10);
    EXPECT_EQ(lesson->mWindow, nullptr);
    EXPECT_EQ(lesson->mState, TutorialLesson::Done);
    EXPECT_EQ(done.count, 1);
}

// A replay of the level while the lesson's window is up: the old window goes
// before a new one comes.
TEST(TutorialLessons, TheLevelBegunAgainReplacesTheLessonsWindow) {
    MenusWorld w;
    Completions done;
    auto lesson = make<DestroyChipTutorialLesson>("DestroyChipLesson", std::string("chips = { {1, 1} }, ") + kMask, &done);
    offer(*lesson, new BeginLevelGameEvent("any_lua"));
    TutorialWindow* first = lesson->mWindow;
    ASSERT_NE(first, nullptr);
    QV::UIWidget* firstRoot = first->mRoot;
    offer(*lesson, new BeginLevelGameEvent("any_lua"));
    ASSERT_NE(lesson->mWindow, nullptr);
    EXPECT_NE(lesson->mWindow->mRoot, firstRoot);
    EXPECT_TRUE(firstRoot->mMarkedForRemoval);
    EXPECT_EQ(lesson->mState, TutorialLesson::Active);
    EXPECT_EQ(done.count, 0);
}

TEST(TutorialLessons, ACellLessonWithoutCellsRefusesEveryCellWhileActive) {
    MenusWorld w;
    Completions done;
    auto lesson = make<DestroyChipTutorialLesson>("DestroyChipLesson", "", &done);
    offer(*lesson, new BeginLevelGameEvent("x_lua"));
    ASSERT_EQ(lesson->mState, TutorialLesson::Active);
    EXPECT_FALSE(lesson->isCellAllowed(0, 0));
    // Without a mask the window is made but never shown.
    ASSERT_NE(lesson->mWindow, nullptr);
    EXPECT_FALSE(lesson->mWindow->mRenderer->isVisible());
}

// A cell lesson without a mask shows nothing, yet still restricts clicks and
// ends when a chip in its cells is destroyed.
TEST(TutorialLessons, ACellLessonWithoutMaskStillEndsOnItsChip) {
    MenusWorld w;
    Completions done;
    auto lesson = make<DestroyChipTutorialLesson>("DestroyChipLesson", "chips = { {1, 2} }", &done);
    offer(*lesson, new BeginLevelGameEvent("x_lua"));
    ASSERT_EQ(lesson->mState, TutorialLesson::Active);
    EXPECT_FALSE(lesson->isCellAllowed(2, 1));
    destroyChipAt(*lesson, 1, 2);
    w.frames(10);
    EXPECT_EQ(lesson->mState, TutorialLesson::Done);
    EXPECT_EQ(done.count, 1);
}

// An info lesson with neither slot nor target: a centred window without
// arrow over a uniformly dimmed screen; its close button completes it.
TEST(TutorialLessons, AnInfoLessonWithoutTargetDimsTheScreenAndItsCloseButtonEndsIt) {
    MenusWorld w;
    Completions done;
    auto lesson = make<InfoTutorialLesson>("InfoLesson", "text = \"TUTORIAL_GOALS\", level = \"a_lua\"", &done);
    offer(*lesson, new BeginLevelGameEvent("a_lua"));
    ASSERT_EQ(lesson->mState, TutorialLesson::Active);
    ASSERT_NE(lesson->mWindow, nullptr);
    EXPECT_EQ(lesson->mWindow->mArrowShown, 0);
    EXPECT_NE(dynamic_cast<SolidBlackout*>(lesson->mWindow->mRenderer->mBlackout), nullptr);
    EXPECT_EQ(lesson->mWindow->mRoot->getPosition().x, 640.0f);
    EXPECT_EQ(lesson->mWindow->mRoot->getPosition().y, 360.0f);
    EXPECT_FALSE(lesson->isCellAllowed(1, 1));
    // A click while the window still shows itself is ignored.
    lesson->mWindow->onCloseClicked();
    EXPECT_FALSE(lesson->mWindow->isHiding());
    w.frames(10);
    w.click(lesson->mWindow->mRoot->findChild("btnClose")->getWorldPosition().x + 24,
            lesson->mWindow->mRoot->findChild("btnClose")->getWorldPosition().y + 24);
    w.frames(10);
    EXPECT_EQ(lesson->mState, TutorialLesson::Done);
    EXPECT_EQ(lesson->mWindow, nullptr);
    EXPECT_EQ(done.count, 1);
    EXPECT_TRUE(lesson->isCellAllowed(1, 1));
}

TEST(TutorialLessons, AnInfoLessonReadsItsTargetAndMaskKeys) {
    Completions done;
    auto split = make<InfoTutorialLesson>(
        "InfoLesson", "targetH = {10, 20}, targetV = {30, 40}, horMaskOffset = {1, 2}, verMaskOffset = {3, 4}, padding = {5, 6}",
        &done);
    EXPECT_EQ(split->mTargetH[1], 20);
    EXPECT_EQ(split->mTargetV[0], 30);
    EXPECT_EQ(split->mMaskOffsetV.y, 4.0f);
    EXPECT_EQ(split->mPadding.x, 5.0f);
    auto both = make<InfoTutorialLesson>("InfoLesson", "target = {7, 8}, maskOffset = {9, 9}, horMaskOffset = {1, 1}", &done);
    EXPECT_EQ(both->mTargetV[1], 8);
    EXPECT_EQ(both->mMaskOffsetH.x, 9.0f);
    // Without slot or target the mask keys are not read.
    auto none = make<InfoTutorialLesson>("InfoLesson", "maskFile = \"m\", padding = {5, 6}", &done);
    EXPECT_TRUE(none->mMaskFile.empty());
    EXPECT_EQ(none->mPadding.x, 0.0f);
}

// Two children in order inside one step: waiting between them, done after the second.
TEST(TutorialLessons, AMultiLessonRunsItsChildrenInOrder) {
    MenusWorld w;
    Completions done;
    auto multi = make<MultiTutorialLesson>(
        "MultiLesson",
        "{ class = \"InfoLesson\", data = { level = \"a_lua\" } }, { class = \"Unknown\", data = {} },"
        "{ class = \"InfoLesson\", data = { level = \"a_lua\" } }",
        &done);
    ASSERT_EQ(multi->mLessons.size(), 2u);
    offer(*multi, new BeginLevelGameEvent("a_lua"));
    EXPECT_EQ(multi->mState, TutorialLesson::Active);
    EXPECT_FALSE(multi->isCellAllowed(0, 0));
    w.frames(10);
    auto* first = static_cast<InfoTutorialLesson*>(multi->mLessons[0]);
    first->mWindow->onCloseClicked();
    w.frames(10);
    EXPECT_EQ(multi->mCurrentIndex, 1);
    EXPECT_EQ(multi->mState, TutorialLesson::Waiting);
    EXPECT_EQ(done.count, 0);
    offer(*multi, new BeginLevelGameEvent("a_lua"));
    w.frames(10);
    static_cast<InfoTutorialLesson*>(multi->mLessons[1])->mWindow->onCloseClicked();
    w.frames(10);
    EXPECT_EQ(multi->mState, TutorialLesson::Done);
    EXPECT_EQ(multi->mCurrentIndex, -1);
    EXPECT_EQ(done.count, 1);
    multi->reset();
    EXPECT_EQ(multi->mCurrentIndex, 0);
    EXPECT_EQ(multi->mLessons[1]->mState, TutorialLesson::Waiting);
}

// The nine quads: the middle one shows the mask (3 texels in from its
// edges), the outer ones stretch its border to the screen's edges.
TEST(TutorialBlackouts, AMaskBlackoutLaysNineQuadsAroundItsMask) {
    MenusWorld w;
    MaskBlackout mask("tutorial_sprites_lua", "mask_cells_v");
    const QV::Vector2<float> size = mask.maskSize();
    ASSERT_EQ(size.x, 124.0f);
    ASSERT_EQ(size.y, 188.0f);
    mask.mMaskOffsetH = QV::Vector2<float>(-24, -24);
    mask.mPadding = QV::Vector2<float>(6, 6);
    mask.place(QV::Vector2<float>(680, 520));
    // Quad 4 (middle): top-left, top-right, bottom-right, bottom-left.
    const QV::Vector2<float> tl = mask.vertexPosition(16), br = mask.vertexPosition(18);
    EXPECT_EQ(tl.x, 650.0f);
    EXPECT_EQ(tl.y, 490.0f);
    EXPECT_EQ(br.x, 774.0f);
    EXPECT_EQ(br.y, 678.0f);
    // Quad 0 spans the screen's corner to the mask's; quad 8 the mask's far corner to the screen's.
    EXPECT_EQ(mask.vertexPosition(0).x, 0.0f);
    EXPECT_EQ(mask.vertexPosition(34).x, 1280.0f);
    EXPECT_EQ(mask.vertexPosition(34).y, 720.0f);
    // The middle quad's texture corners sit 3 texels inside the mask's own.
    EXPECT_NEAR(mask.vertexTexCoord(16).x * 124.0f, 3.0f, 0.6f);
    EXPECT_NEAR(mask.vertexTexCoord(18).y * 188.0f, 185.0f, 0.6f);
    // White at alpha 127.
    EXPECT_EQ(mask.vertexColor(0), QV::Color(1.0f, 1.0f, 1.0f, 0.5f).word());
    // A mask beyond the screen's edge gives outer quads of negative size; the middle stays whole.
    mask.place(QV::Vector2<float>(1250, 700));
    EXPECT_GT(mask.vertexPosition(17).x, 1280.0f);
    EXPECT_EQ(mask.vertexPosition(17).x - mask.vertexPosition(16).x, 124.0f);
}

// The booster lesson's grant key and amount, per kind, as stored profiles name them.
TEST(BoosterLessons, GrantKeysAndAmountsFollowTheKind) {
    Completions done;
    const struct {
        const char* type;
        const char* key;
        int silver;
    } kinds[] = {{"comet", "MoneyHasBeenIssued:gefest", 110},
                 {"light", "MoneyHasBeenIssued:zeus", 200},
                 {"arrow", "MoneyHasBeenIssued:artemoda", 50},
                 {"detonator", "MoneyHasBeenIssued:ares", 90}};
    for (const auto& k : kinds) {
        auto lesson = make<BonusTutorialLesson>("BonusLesson", std::string("bonusType = \"") + k.type + "\"", &done);
        EXPECT_EQ(lesson->grantKey(), k.key);
        EXPECT_EQ(lesson->grantAmount(), k.silver);
        EXPECT_EQ(lesson->mFirstArrowMarkers[0], "90");
    }
    auto unknown = make<BonusTutorialLesson>("BonusLesson", "bonusType = \"hammer\"", &done);
    EXPECT_EQ(unknown->mBonusKind, -1);
}

// A fresh profile with the comet unlocked: the first window; the press closes
// it and the price is granted once and saved; the purchase brings the second
// window, whose end completes the lesson. A profile that owns a comet, or
// already had the price, skips the lesson at the level start.
TEST(BoosterLessons, TheCometLessonGrantsItsPriceOnceAndEndsAfterTheSecondWindow) {
    MenusWorld w;
    Completions done;
    w.profile().unlockBooster(0);
    const int silver = w.profile().mSilver;
    auto lesson = make<BonusTutorialLesson>("BonusLesson", "bonusType = \"comet\", text1 = \"A\", text2 = \"B\"", &done);
    offer(*lesson, new BeginLevelGameEvent("any_lua"));
    ASSERT_EQ(lesson->mState, TutorialLesson::Active);
    ASSERT_NE(lesson->mWindow, nullptr);
    EXPECT_FALSE(lesson->isCellAllowed(0, 0));
    w.frames(10);
    offer(*lesson, new BonusEvent(1, BonusEventAction::PressedWithoutStock));  // another kind: ignored
    EXPECT_FALSE(lesson->mWindow->isHiding());
    offer(*lesson, new BonusEvent(0, BonusEventAction::PressedWithoutStock));
    w.frames(10);
    EXPECT_EQ(lesson->mWindow, nullptr);
    EXPECT_EQ(lesson->mStep, BonusTutorialLesson::PurchaseOpen);
    EXPECT_EQ(w.profile().mSilver, silver + 110);
    EXPECT_TRUE(w.profile().hasStringKey("MoneyHasBeenIssued:gefest"));
    EXPECT_TRUE(lesson->isCellAllowed(0, 0));
    offer(*lesson, new BonusEvent(0, BonusEventAction::Bought));
    EXPECT_EQ(lesson->mStep, BonusTutorialLesson::SecondWindow);
    ASSERT_NE(lesson->mWindow, nullptr);
    w.frames(10);
    offer(*lesson, new BonusEvent(0, BonusEventAction::PressedWithStock));
    w.frames(10);
    EXPECT_EQ(lesson->mState, TutorialLesson::Done);
    EXPECT_EQ(lesson->mStep, BonusTutorialLesson::Finished);
    EXPECT_EQ(done.count, 1);
    EXPECT_EQ(w.profile().mSilver, silver + 110);

    // Again on this profile: the key is there, so the lesson skips without a window.
    Completions again;
    auto second = make<BonusTutorialLesson>("BonusLesson", "bonusType = \"comet\"", &again);
    offer(*second, new BeginLevelGameEvent("any_lua"));
    EXPECT_EQ(second->mState, TutorialLesson::Done);
    EXPECT_EQ(second->mWindow, nullptr);
    // Owning a light skips the light lesson; a locked booster waits.
    w.profile().unlockBooster(1);
    w.profile().mBoosterCounts[1] = 1;
    auto owned = make<BonusTutorialLesson>("BonusLesson", "bonusType = \"light\"", &again);
    offer(*owned, new BeginLevelGameEvent("any_lua"));
    EXPECT_EQ(owned->mState, TutorialLesson::Done);
    auto locked = make<BonusTutorialLesson>("BonusLesson", "bonusType = \"arrow\"", &again);
    offer(*locked, new BeginLevelGameEvent("any_lua"));
    EXPECT_EQ(locked->mState, TutorialLesson::Waiting);
}

}  // namespace
