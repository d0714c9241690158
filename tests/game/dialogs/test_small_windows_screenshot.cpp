#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/blocker_message_window.h"
#include "dialogs/cutscenes_window.h"
#include "dialogs/everyday_bonus_window.h"
#include "dialogs/help_window.h"
#include "game/dialogs/shop_world.h"
#include "support/render_host.h"
#include "ui/ui_manager.h"

namespace {

struct Picture {
    std::vector<uint8_t> rgba;
    uint32_t width = 0, height = 0;
    // The pixel's red, green and blue.
    std::vector<int> at(int x, int y) const {
        const size_t i = (size_t(y) * width + size_t(x)) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2]};
    }
};

Picture drawn(shoptest::ShopWorld& w) {
    auto draw = [&] { w.world->ui().draw(); };
    w.world->graphics().frame(draw);  // uploads the pictures
    w.world->graphics().frame(draw);
    std::vector<uint8_t> bgra;
    Picture picture;
    EXPECT_TRUE(w.world->graphics().readBack(&bgra, &picture.width, &picture.height));
    picture.rgba = qvtest::bgraToRgba(bgra);
    return picture;
}

void expectPicture(const Picture& picture, const std::string& name) {
    const std::string mismatch = qvtest::compareWithExpected(name, picture.rgba, picture.width, picture.height, 24, 60);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
}

struct SmallWindow {
    const char* picture;
    std::function<std::unique_ptr<DialogWindow>()> make;
};

// The message windows open with their title on the ribbon, their text and
// their buttons.
TEST(SmallWindowsScreenshot, AuthorsHelpAndBlockerAtRest) {
    qvtest::keepDriverLoaded();
    const SmallWindow windows[] = {
        {"small_window_authors.png", [] { return std::make_unique<CutscenesWindow>(); }},
        {"small_window_help.png", [] { return std::make_unique<HelpWindow>(); }},
        {"small_window_blocker.png", [] { return std::make_unique<BlockerMessageWindow>(); }},
    };
    for (const SmallWindow& c : windows) {
        SCOPED_TRACE(c.picture);
        shoptest::ShopWorld w(qvtest::HostDevice::OpenGL);
        ASSERT_TRUE(w.world->graphics().ready()) << "no OpenGL window";
        {
            std::unique_ptr<DialogWindow> window = c.make();
            window->show(true);
            w.frames(6);
            ASSERT_EQ(window->mState, DialogWindow::Shown);
            expectPicture(drawn(w), c.picture);
        }
    }
}

// Mid-way through the opening the panel is small and faint, and so are its
// title, text and button: nothing pokes out of the panel at full size.
TEST(SmallWindowsScreenshot, WidgetsGrowAndFadeWithThePanel) {
    qvtest::keepDriverLoaded();
    shoptest::ShopWorld w(qvtest::HostDevice::OpenGL);
    ASSERT_TRUE(w.world->graphics().ready()) << "no OpenGL window";
    {
        CutscenesWindow window;
        window.show(true);
        w.frames(1);
        ASSERT_EQ(window.mState, DialogWindow::Showing);
        const Picture opening = drawn(w);
        expectPicture(opening, "small_window_authors_opening.png");
        // The button at rest spans 552..728 x 402..466 and the panel 460..820 x
        // 240..480; at three quarters of its size the panel ends above y 450
        // and left of x 775, and the screen around it stays black.
        for (int y = 452; y < 470; y += 2) {
            for (int x = 552; x < 728; x += 4) EXPECT_EQ(opening.at(x, y), (std::vector<int>{0, 0, 0})) << x << "," << y;
        }
        // The title's white letters fade with the red ribbon: none is drawn at full white.
        for (int y = 250; y < 290; ++y) {
            for (int x = 520; x < 760; ++x) {
                const std::vector<int> p = opening.at(x, y);
                EXPECT_FALSE(p[0] > 240 && p[1] > 240 && p[2] > 240) << x << "," << y;
            }
        }
        w.frames(5);
        ASSERT_EQ(window.mState, DialogWindow::Shown);
        expectPicture(drawn(w), "small_window_authors.png");
    }
}

TEST(SmallWindowsScreenshot, EverydayBonusAtRest) {
    qvtest::keepDriverLoaded();
    shoptest::ShopWorld w(qvtest::HostDevice::OpenGL);
    ASSERT_TRUE(w.world->graphics().ready()) << "no OpenGL window";
    {
        EverydayBonusWindow window;
        window.show(true);
        w.frames(6);
        ASSERT_EQ(window.mState, DialogWindow::Shown);
        expectPicture(drawn(w), "everyday_bonus_window.png");
    }
}

}  // namespace
