#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/buy_valuta_window.h"
#include "game/dialogs/shop_world.h"
#include "support/render_host.h"
#include "ui/ui_manager.h"

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

}  // namespace
