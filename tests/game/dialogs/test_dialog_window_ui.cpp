#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "dialogs/dialog_window.h"
#include "dialogs/dialog_window_listener.h"
#include "dialogs/dialog_window_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"
#include "support/font_fixture.h"
#include "support/render_host.h"
#include "support/ui_fixture.h"

namespace {

using qvtest::repositoryFile;

std::vector<qvtest::FontMediaFile> media() {
    return {
        repositoryFile("font2_fnt", "fonts/font2.lua"),
        repositoryFile("font2_image", "fonts/font2.png"),
        repositoryFile("font2_mip1_image", "fonts/font2_mip1.png"),
        repositoryFile("font2_mip2_image", "fonts/font2_mip2.png"),
        repositoryFile("small_font_fnt", "fonts/small_font.lua"),
        repositoryFile("small_font_image", "fonts/small_font.png"),
        repositoryFile("small_font_mip1_image", "fonts/small_font_mip1.png"),
        repositoryFile("ui_panel_png", "ui/ui_panel.png"),
        repositoryFile("ui_button_png", "ui/ui_button.png"),
        repositoryFile("ui_sprites_lua", "ui/ui_sprites.lua"),
        repositoryFile("ui_presets_lua", "ui/ui_presets.lua"),
        repositoryFile("pill_button_ui", "ui/pill_button.lua"),
        repositoryFile("test_window_ui", "dialogs/test_window.lua"),
        repositoryFile("test_window_scene_xml", "dialogs/test_window_scene.xml"),
    };
}

// The shipped test window: "btnOk" answers 1, "btnCancel" 0.
class TestWindow : public DialogWindow {
public:
    TestWindow() : DialogWindow("test_window_ui", "TestWindow", "gui") {
        bindButton("btnOk", this, &TestWindow::onOk);
        bindButton("btnCancel", this, &TestWindow::onCancel);
    }
    using DialogWindow::requireWidget;
    void onOk() { answer(1); }
    void onCancel() { answer(0); }
    int mClicks = 0;

private:
    void answer(int result) {
        if (mState != Shown) return;
        ++mClicks;
        mResult = result;
        hide();
    }
};

struct Owner : DialogWindowListener {
    void onWindowShown(DialogWindow*) override { ++shown; }
    void onWindowClosed(DialogWindow* w) override { results.push_back(w->mResult); }
    int shown = 0;
    std::vector<int> results;
};

class DialogWindowUI : public testing::Test {
protected:
    DialogWindowUI() : DialogWindowUI(media()) {}
    explicit DialogWindowUI(const std::vector<qvtest::FontMediaFile>& files) {
        qvtest::UIWorldOptions options;
        options.width = 1280;
        options.height = 720;
        world = std::make_unique<qvtest::UIWorld>(files, options);
        manager = std::make_unique<DialogWindowManager>();
    }
    ~DialogWindowUI() override {
        window.reset();
        world->frame();
        manager.reset();
        world.reset();
    }
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            world->frame(0.1f);
            manager->update(0.1f);
        }
    }
    QV::Vector2<float> centreOf(const char* name) {
        return window->mRoot->findChild(name)->getWorldPosition() + QV::Vector2<float>(88, 32);
    }
    void click(const char* name) {
        const QV::Vector2<float> at = centreOf(name);
        world->clickAt(at.x, at.y);
        frames(3);
    }
    bool buttonsEnabled(bool enabled) {
        return window->mRoot->findChild("btnOk")->isEnabled() == enabled &&
               window->mRoot->findChild("btnCancel")->isEnabled() == enabled;
    }
    bool onScreen() {
        std::vector<QV::UIWidget*> shown = world->ui().getShownList();
        return std::find(shown.begin(), shown.end(), window->mRoot) != shown.end() && window->mRoot->isShown();
    }

    std::unique_ptr<qvtest::UIWorld> world;
    std::unique_ptr<DialogWindowManager> manager;
    std::unique_ptr<TestWindow> window;
    Owner owner;
};

TEST_F(DialogWindowUI, ShippedWindowTakesClicksOnlyWhileShown) {
    window = std::make_unique<TestWindow>();
    window->addListener(&owner);
    EXPECT_TRUE(world->log().has("loading ui: test_window_ui"));
    EXPECT_FALSE(onScreen());
    ASSERT_NE(window->mScene, nullptr);
    EXPECT_NE(window->mScene->findNode("#panel"), nullptr);

    window->show(true);
    EXPECT_EQ(window->mState, DialogWindow::Showing);
    EXPECT_TRUE(onScreen());
    EXPECT_TRUE(buttonsEnabled(false));
    click("btnOk");  // during the show: the button is disabled
    EXPECT_EQ(window->mClicks, 0);
    frames(3);
    ASSERT_EQ(window->mState, DialogWindow::Shown);
    EXPECT_EQ(owner.shown, 1);
    EXPECT_TRUE(buttonsEnabled(true));

    click("btnCancel");
    EXPECT_EQ(window->mClicks, 1);
    EXPECT_EQ(window->mState, DialogWindow::Hiding);
    EXPECT_TRUE(buttonsEnabled(false));
    click("btnOk");  // during the hide
    frames(4);
    EXPECT_EQ(window->mState, DialogWindow::Hidden);
    EXPECT_FALSE(onScreen());
    EXPECT_EQ(owner.results, std::vector<int>{0});
    EXPECT_EQ(window->mClicks, 1);

    // Again, answered with OK.
    window->show(false);
    frames(5);
    click("btnOk");
    frames(5);
    EXPECT_EQ(owner.results, (std::vector<int>{0, 1}));
}

TEST_F(DialogWindowUI, HeldButtonLosesTheMouseWhenItsWindowHides) {
    window = std::make_unique<TestWindow>();
    window->show(false);
    frames(5);
    const QV::Vector2<float> at = centreOf("btnOk");
    world->input().moveMouse(world->frameIndex(), int(at.x), int(at.y));
    world->input().pressButton(world->frameIndex(), QV::Platform::ScriptedInputSource::Button::Left);
    frames(2);
    ASSERT_EQ(world->ui().getCapturedWidget(), window->mRoot->findChild("btnOk"));
    window->hide();
    EXPECT_EQ(world->ui().getCapturedWidget(), nullptr);
    world->input().releaseButton(world->frameIndex(), QV::Platform::ScriptedInputSource::Button::Left);
    frames(5);
    EXPECT_EQ(window->mClicks, 0);
    EXPECT_EQ(window->mState, DialogWindow::Hidden);
}

// The tree goes with the UI manager's next update; no marker end reaches the
// window after its destruction, in whatever state it was destroyed.
TEST_F(DialogWindowUI, DestroyedWindowLeavesItsTreeToTheManager) {
    for (int shownFrames : {0, 1, 5, 6}) {
        window = std::make_unique<TestWindow>();
        QV::UIWidget* root = window->mRoot;
        window->show(false);
        frames(shownFrames);
        if (window->mState == DialogWindow::Shown) window->hide();
        window.reset();
        EXPECT_TRUE(root->mMarkedForRemoval);
        EXPECT_TRUE(manager->mWindows.empty());
        EXPECT_TRUE(manager->mVisible.empty());
        frames(6);
        EXPECT_FALSE(world->ui().isRoot(root)) << shownFrames;
    }
}

// The shipped window whose scene root carries a landscape layout marker.
class DialogWindowLayout : public DialogWindowUI {
protected:
    DialogWindowLayout() : DialogWindowUI(withLayoutMarker()) {}
    static std::vector<qvtest::FontMediaFile> withLayoutMarker() {
        std::vector<qvtest::FontMediaFile> files = media();
        for (qvtest::FontMediaFile& file : files) {
            if (file.name != "test_window_scene_xml") continue;
            const size_t end = file.bytes.find("</markers>");
            file.bytes.insert(end, "<marker><name>#hor:l-20t-30</name><playList/></marker>");
        }
        return files;
    }
};

TEST_F(DialogWindowLayout, WindowLaysOutItsSceneWhenMadeAndOnRelayout) {
    window = std::make_unique<TestWindow>();
    EXPECT_FLOAT_EQ(window->mScene->getPosition().x, 20.0f);
    EXPECT_FLOAT_EQ(window->mScene->getPosition().y, 30.0f);

    window->mScene->setPosition(QV::Vector2<float>(0.0f, 0.0f));
    window->relayout();
    EXPECT_FLOAT_EQ(window->mScene->getPosition().x, 20.0f);
    EXPECT_FLOAT_EQ(window->mScene->getPosition().y, 30.0f);
}

using DialogWindowUIDeathTest = DialogWindowUI;

TEST_F(DialogWindowUIDeathTest, MissingPartsAreFatal) {
    EXPECT_DEATH({ DialogWindow("test_window_ui", "TestWindow", "title"); },
                 "Window 'test_window_ui' has no scene widget 'title'");
    EXPECT_DEATH(
        {
            TestWindow w;
            w.requireWidget("btnHelp");
        },
        "Window 'test_window_ui' has no widget 'btnHelp'");
}

}  // namespace

namespace {

// The shipped test window, opened and at rest, drawn in a real window.
TEST(DialogWindowScreenshot, ShippedTestWindowAtRest) {
    qvtest::keepDriverLoaded();
    qvtest::UIWorldOptions options;
    options.device = qvtest::HostDevice::OpenGL;
    options.width = 640;
    options.height = 400;
    qvtest::UIWorld world(media(), options);
    ASSERT_TRUE(world.graphics().ready()) << "no OpenGL window";
    world.graphics().texts();
    DialogWindowManager manager;
    {
        TestWindow window;
        window.mRoot->setPosition(QV::Vector2<float>(140, 80));
        window.show(true);
        for (int i = 0; i < 6; ++i) {
            world.frame(0.1f);
            manager.update(0.1f);
        }
        ASSERT_EQ(window.mState, DialogWindow::Shown);
        world.graphics().frame([&] { world.ui().draw(); });  // uploads the pictures
        world.graphics().frame([&] { world.ui().draw(); });
        std::vector<uint8_t> bgra;
        uint32_t width = 0, height = 0;
        ASSERT_TRUE(world.graphics().readBack(&bgra, &width, &height));
        const std::string mismatch =
            qvtest::compareWithExpected("dialog_test_window.png", qvtest::bgraToRgba(bgra), width, height, 24, 40);
        EXPECT_TRUE(mismatch.empty()) << mismatch;
    }
    world.frame();
}

}  // namespace
