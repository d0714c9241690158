#include <gtest/gtest.h>

#include <cstdlib>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/buy_valuta_window.h"
#include "game/dialogs/shop_world.h"
#include "support/render_host.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_list.h"

namespace {

// The star shop opened and at rest, drawn in a real window.
TEST(ShopScreenshot, StarShopAtRest) {
    qvtest::keepDriverLoaded();
    shoptest::ShopWorld w(qvtest::HostDevice::OpenGL);
    ASSERT_TRUE(w.world->graphics().ready()) << "no OpenGL window";
    {
        BuyValutaWindowSingleton shop;
        shop.open(kGoodsStars, true);
        w.frames(6);
        ASSERT_EQ(shop.mState, DialogWindow::Shown);
        auto draw = [&] { w.world->ui().draw(); };
        w.world->graphics().frame(draw);  // uploads the pictures
        w.world->graphics().frame(draw);
        std::vector<uint8_t> bgra;
        uint32_t width = 0, height = 0;
        ASSERT_TRUE(w.world->graphics().readBack(&bgra, &width, &height));
        const std::string mismatch =
            qvtest::compareWithExpected("shop_star_shop.png", qvtest::bgraToRgba(bgra), width, height, 24, 60);
        EXPECT_TRUE(mismatch.empty()) << mismatch;
    }
}

// Rows dragged past the top of the well are cut at its edge: the title and
// everything above the well look as they did at rest.
TEST(ShopScreenshot, DraggedRowsStayInsideTheWell) {
    qvtest::keepDriverLoaded();
    shoptest::ShopWorld w(qvtest::HostDevice::OpenGL);
    ASSERT_TRUE(w.world->graphics().ready()) << "no OpenGL window";
    {
        BuyValutaWindowSingleton shop;
        shop.open(kGoodsStars, true);
        w.frames(6);
        ASSERT_EQ(shop.mState, DialogWindow::Shown);
        auto picture = [&] {
            auto draw = [&] { w.world->ui().draw(); };
            w.world->graphics().frame(draw);
            w.world->graphics().frame(draw);
            std::vector<uint8_t> bgra;
            uint32_t width = 0, height = 0;
            EXPECT_TRUE(w.world->graphics().readBack(&bgra, &width, &height));
            EXPECT_EQ(width, 1280u);
            return qvtest::bgraToRgba(bgra);
        };
        const std::vector<uint8_t> rest = picture();

        // Held on the first row's card (beside its buy pill) and pulled upwards.
        auto& in = w.world->input();
        using B = QV::Platform::ScriptedInputSource::Button;
        const int f = w.world->frameIndex();
        in.moveMouse(f, 600, 232);
        in.pressButton(f + 1, B::Left);
        for (int i = 1; i <= 8; ++i) in.moveMouse(f + 1 + i, 600, 232 - 15 * i);
        w.frames(10);
        ASSERT_LT(shop.mList->listPosition().y, -40.0f) << "the rows were dragged";
        const std::vector<uint8_t> dragged = picture();
        in.releaseButton(w.world->frameIndex(), B::Left);
        w.frames(4);

        // The well's top edge is at y 164; every pixel above it is unchanged.
        int changed = 0;
        for (size_t i = 0; i < size_t(1280) * 164 * 4; i += 4) {
            for (int c = 0; c < 3; ++c) {
                if (std::abs(int(rest[i + c]) - int(dragged[i + c])) > 8) {
                    ++changed;
                    break;
                }
            }
        }
        EXPECT_EQ(changed, 0);
        // Below the edge the rows did move.
        int moved = 0;
        for (size_t i = size_t(1280) * 170 * 4; i < size_t(1280) * 400 * 4; i += 4) moved += rest[i] != dragged[i];
        EXPECT_GT(moved, 1000);
    }
}

}  // namespace
