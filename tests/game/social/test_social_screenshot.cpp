// The social windows at rest over the offline network: the requests list,
// the help list, the connection window (success and the logout question),
// the friend-passed window and a level window's friends' panel.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/win_level_window.h"
#include "flow/episode.h"
#include "game/social/social_world.h"
#include "social/facebook_message.h"
#include "social/facebook_message_wnd.h"
#include "social/check_list_item.h"
#include "social/facebook_request_wnd.h"
#include "social/friend_passed_wnd.h"
#include "social/help_random_friends_wnd.h"
#include "social/request_payload.h"
#include "support/render_host.h"
#include "ui/ui_manager.h"

namespace {

std::vector<uint8_t> drawn(socialtest::SocialWorld& w, uint32_t* width, uint32_t* height) {
    auto& world = *w.level.world;
    auto draw = [&] { world.ui().draw(); };
    world.graphics().frame(draw);  // uploads the pictures
    world.graphics().frame(draw);
    std::vector<uint8_t> bgra;
    EXPECT_TRUE(world.graphics().readBack(&bgra, width, height));
    return qvtest::bgraToRgba(bgra);
}

void expectPicture(socialtest::SocialWorld& w, const std::string& name) {
    uint32_t width = 0, height = 0;
    const std::vector<uint8_t> rgba = drawn(w, &width, &height);
    const std::string mismatch = qvtest::compareWithExpected(name, rgba, width, height, 24, 60);
    EXPECT_TRUE(mismatch.empty()) << mismatch;
}

std::vector<FacebookRequest> offlineRequests(FacebookIntegration& fb) {
    std::vector<FacebookRequest> requests;
    const char* types[] = {"takeLife", "takeSteps", "giveLife"};
    for (int i = 0; i < 3; ++i) {
        FacebookRequest r;
        r.requestId = std::to_string(i);
        r.senderId = fb.friends[size_t(i)]->id;
        r.senderName = fb.friends[size_t(i)]->name;
        r.data = makeRequestData(types[i]);
        requests.push_back(r);
    }
    return requests;
}

TEST(SocialScreenshot, RequestsAndHelpListsAtRest) {
    qvtest::keepDriverLoaded();
    socialtest::SocialWorld w(qvtest::HostDevice::OpenGL);
    ASSERT_TRUE(w.level.world->graphics().ready()) << "no OpenGL window";
    w.integration->openSession();
    {
        FacebookRequestWnd window;
        window.setRequests(offlineRequests(*w.integration));
        window.itemAt(2)->setChecked(false);
        window.onCheckChanged(false);
        window.show(true);
        w.frames(6);
        ASSERT_EQ(window.mState, DialogWindow::Shown);
        expectPicture(w, "social_requests_window.png");
    }
    {
        HelpRandomFriendsWnd window;
        window.open();  // offline only "Friend1" plays: the one row does not depend on rand
        ASSERT_EQ(window.itemCount(), 1u);
        w.frames(6);
        ASSERT_EQ(window.mState, DialogWindow::Shown);
        expectPicture(w, "social_help_window.png");
    }
    w.integration->closeSession();
}

TEST(SocialScreenshot, ConnectionWindowAndFriendPassedAtRest) {
    qvtest::keepDriverLoaded();
    socialtest::SocialWorld w(qvtest::HostDevice::OpenGL);
    ASSERT_TRUE(w.level.world->graphics().ready()) << "no OpenGL window";
    {
        FacebookMessageWnd window;
        window.enterWaiting();
        window.show(false);
        w.integration->openSession();
        w.frames(6);
        ASSERT_EQ(window.mState, DialogWindow::Shown);
        expectPicture(w, "social_connected_window.png");
        window.askLogout();
        w.frames(2);
        expectPicture(w, "social_logout_question.png");
    }
    {
        FriendPassedWnd window;
        EpisodeLevel level;
        level.mId = 3;
        level.mBestScore = 2750;
        window.open(&level, 2750, 3, 1350);
        w.frames(6);
        ASSERT_EQ(window.mState, DialogWindow::Shown);
        expectPicture(w, "social_friend_passed_window.png");
    }
    w.integration->closeSession();
}

TEST(SocialScreenshot, WinWindowListsFriendsOrOffersToConnect) {
    qvtest::keepDriverLoaded();
    socialtest::SocialWorld w(qvtest::HostDevice::OpenGL);
    ASSERT_TRUE(w.level.world->graphics().ready()) << "no OpenGL window";
    WinLevelWindow window;
    window.open(leveltest::level("4", 4, 0), 2750, 40);
    w.frames(40);
    expectPicture(w, "social_win_window_connect.png");
    w.integration->openSession();
    w.frames(2);
    EXPECT_EQ(window.mFriends.controllers().size(), 2u);
    expectPicture(w, "social_win_window_friends.png");
    w.integration->closeSession();
}

}  // namespace
