// The social list items and windows over the offline network, driven as the
// player drives them (clicks on rows and buttons).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "animationeditor/scene_node.h"
#include "game/social/social_world.h"
#include "player/main_mode_section.h"
#include "social/facebook_message.h"
#include "social/facebook_message_wnd.h"
#include "social/facebook_request_wnd.h"
#include "social/ff_icon.h"
#include "social/friend_passed_wnd.h"
#include "social/help_item.h"
#include "social/help_random_friends_wnd.h"
#include "social/map_social.h"
#include "social/request_item.h"
#include "social/request_payload.h"
#include "social/user_item.h"
#include "social/user_item_controller.h"
#include "support/temp_dir.h"
#include "ui/ui_scene_list.h"

namespace {

struct CheckCounter : CheckBoxListener {
    void onCheckChanged(bool checked) override { seen.push_back(checked); }
    std::vector<bool> seen;
};

FacebookRequest request(const char* id, uint64_t sender, const char* type) {
    FacebookRequest r;
    r.requestId = id;
    r.senderId = sender;
    r.data = makeRequestData(type);
    return r;
}

std::vector<FacebookRequest> offlineRequests(socialtest::SocialWorld& w) {
    std::vector<FacebookRequest> got;
    struct Catch : FacebookMessageListener {
        std::vector<FacebookRequest>* out;
        void onMessage(const FacebookMessage& m) override {
            if (m.mKind == FacebookMessage::RequestsReceived) *out = m.mRequests;
        }
    } catcher;
    catcher.out = &got;
    FacebookMessageDispatcher::instance()->addListener(&catcher);
    w.integration->loadRequests();
    return got;
}

bool enabled(AE::ISceneNode* scene, const char* name) {
    AE::ISceneNode* node = scene ? scene->findNode(name) : nullptr;
    return node && node->mEnabled;
}

}  // namespace

TEST(RequestItem, ReadsItsPayloadAndAcceptsOnTheMainMode) {
    socialtest::SocialWorld w;
    w.integration->openSession();
    CheckCounter owner;
    struct Case {
        const char* type;
        int heartsBefore, heartsAfter, movesAfter;
    } cases[] = {
        {"takeLife", 4, 5, 0}, {"takeLife", 5, 5, 0}, {"takeSteps", 5, 5, 3}, {"giveLife", 3, 3, 0}, {"nonsense", 3, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        MainMode& mode = w.mode();
        MainModeProgress p = mode.toProgress();
        p.hearts = c.heartsBefore;
        mode.applyProgress(p);
        mode.setExtraMoves(0);
        RequestItem item(&owner, request("0", 1, c.type));
        EXPECT_EQ(item.type, std::string(c.type) == "nonsense" ? "nonsense" : c.type);
        EXPECT_EQ(item.value, 1);
        item.accept();
        item.accept();  // twice: moves stay at 3, hearts never pass 5
        EXPECT_TRUE(item.accepted);
        EXPECT_EQ(mode.getHearts(), std::min(5, c.heartsBefore + (std::string(c.type) == "takeLife" ? 2 : 0)));
        EXPECT_EQ(mode.getExtraMoves(), c.movesAfter);
    }
    // Malformed payload: no icon, empty description, accepting changes nothing.
    FacebookRequest broken = request("9", 1, "takeLife");
    broken.data = "<params type=";
    RequestItem item(&owner, broken);
    EXPECT_EQ(item.type, "");
    EXPECT_EQ(item.value, 0);
    w.integration->closeSession();
}

TEST(RequestItem, AClickTogglesTheCheckAndTellsTheOwnerEachTime) {
    socialtest::SocialWorld w;
    w.integration->openSession();
    CheckCounter owner;
    RequestItem item(&owner, request("0", 1, "takeLife"));
    const bool first = item.isChecked();
    item.onItemEvent(&item, "toggle");
    item.onItemEvent(&item, "toggle");
    EXPECT_EQ(item.isChecked(), first);
    EXPECT_EQ(owner.seen, (std::vector<bool>{!first, first}));
    w.integration->closeSession();
}

TEST(FacebookRequestWnd, AcceptsTheCheckedAndKeepsTheRest) {
    socialtest::SocialWorld w;
    w.integration->openSession();
    FacebookRequestWnd window;
    std::vector<FacebookRequest> requests = offlineRequests(w);
    requests.push_back(request("7", 99, "takeLife"));  // unknown sender: skipped
    window.setRequests(requests);
    ASSERT_EQ(window.itemCount(), 3u);

    // Nothing checked: every request stays.
    window.toggleSelectAll();  // all start checked; this clears them
    EXPECT_FALSE(window.selectAllNode->mEnabled);
    window.show(false);
    w.frames(3);
    window.acceptSelected();
    EXPECT_EQ(window.itemCount(), 3u);

    // Checking each one by one sets the select-all mark; unchecking one clears it.
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_FALSE(window.selectAllNode->mEnabled);
        window.itemAt(i)->onItemEvent(window.itemAt(i), "toggle");
    }
    EXPECT_TRUE(window.selectAllNode->mEnabled);
    window.itemAt(1)->onItemEvent(window.itemAt(1), "toggle");
    EXPECT_FALSE(window.selectAllNode->mEnabled);

    // The heart and the gift of moves of the checked ones arrive; the unchecked one stays.
    MainModeProgress p = w.mode().toProgress();
    p.hearts = 2;
    w.mode().applyProgress(p);
    window.acceptSelected();
    ASSERT_EQ(window.itemCount(), 1u);
    EXPECT_EQ(static_cast<RequestItem*>(window.itemAt(0))->type, "takeSteps");
    EXPECT_EQ(w.mode().getHearts(), 3);
    EXPECT_EQ(w.mode().getExtraMoves(), 0);

    // With the session closed, refreshing empties the list.
    w.integration->closeSession();
    window.refreshPhotos();
    EXPECT_EQ(window.itemCount(), 0u);
}

TEST(HelpRandomFriendsWnd, OffersUpToFiveDistinctPlayingFriends) {
    socialtest::SocialWorld w;
    HelpRandomFriendsWnd window;
    w.integration->openSession();
    window.open();
    ASSERT_EQ(window.itemCount(), 1u);  // offline, only "Friend1" plays
    EXPECT_TRUE(window.selectAllNode->mEnabled);

    for (FacebookUser* f : w.integration->friends) f->playsGame = false;
    window.open();
    EXPECT_EQ(window.itemCount(), 0u);

    for (size_t i = 0; i < 7; ++i) {
        w.integration->friends[i]->playsGame = true;
        w.integration->friends[i]->idText = "id" + std::to_string(i);
    }
    std::srand(7);
    window.open();
    ASSERT_EQ(window.itemCount(), 5u);
    std::set<FacebookUser*> users;
    for (size_t i = 0; i < 5; ++i) users.insert(static_cast<HelpItem*>(window.itemAt(i))->user);
    EXPECT_EQ(users.size(), 5u);

    // Two checked friends: their ids joined by one comma, in list order.
    for (size_t i = 0; i < 5; ++i)
        if (i != 1 && i != 3) window.itemAt(i)->setChecked(false);
    window.sendStepsRequest();
    EXPECT_EQ(window.recipients, static_cast<HelpItem*>(window.itemAt(1))->user->idText + "," +
                                     static_cast<HelpItem*>(window.itemAt(3))->user->idText);
    EXPECT_EQ(window.requestData, makeRequestData("takeSteps"));
    w.integration->closeSession();
}

TEST(UserItemController, AsksOnceAndFollowsTheResultOfItsToken) {
    socialtest::SocialWorld w;
    w.integration->openSession();
    FacebookUser* friend1 = w.integration->findUser(1);
    // The rows outlive their controller, as in a window's lists.
    std::unique_ptr<UserItem> left, bottom, ownLeft, ownBottom;
    UserItemController controller(false, 120, friend1, true);
    left.reset(controller.leftItem);
    bottom.reset(controller.bottomItem);
    EXPECT_TRUE(enabled(left->mScene, "#heart"));
    EXPECT_FALSE(enabled(left->mScene, "#check"));
    auto& listeners = FacebookMessageDispatcher::instance()->listeners;
    auto registered = [&] { return std::count(listeners.begin(), listeners.end(), &controller) == 1; };

    controller.onItemEvent(left.get(), "ask");
    EXPECT_TRUE(controller.requested);
    EXPECT_TRUE(registered());
    EXPECT_EQ(controller.requestData, makeRequestData("takeLife"));
    {
        FacebookMessage other(FacebookMessage::RequestSent, int64_t(5));  // another token
        FacebookMessageDispatcher::instance()->dispatch(other);
        FacebookMessage wrongKind(FacebookMessage::PendingDone, int64_t(0));
        FacebookMessageDispatcher::instance()->dispatch(wrongKind);
    }
    EXPECT_TRUE(registered());
    {
        FacebookMessage failed(FacebookMessage::RequestNotSent, int64_t(0));
        FacebookMessageDispatcher::instance()->dispatch(failed);
    }
    EXPECT_FALSE(controller.requested);
    EXPECT_FALSE(registered());
    controller.sendLifeRequest();
    controller.sendLifeRequest();  // pending: nothing more
    {
        FacebookMessage sent(FacebookMessage::RequestSent, int64_t(0));
        FacebookMessageDispatcher::instance()->dispatch(sent);
    }
    EXPECT_FALSE(enabled(bottom->mScene, "#heart"));
    EXPECT_TRUE(enabled(bottom->mScene, "#check"));
    EXPECT_FALSE(registered());
    controller.onItemEvent(bottom.get(), "ask");  // done: nothing
    EXPECT_FALSE(registered());

    // The player's own row shows neither heart nor check and takes no click.
    UserItemController own(false, 300, &w.integration->user, false);
    ownLeft.reset(own.leftItem);
    ownBottom.reset(own.bottomItem);
    EXPECT_FALSE(enabled(ownLeft->mScene, "#heart"));
    EXPECT_FALSE(enabled(ownLeft->mScene, "#check"));
    EXPECT_TRUE(ownLeft->mListeners.empty());
    w.integration->closeSession();
}

TEST(FacebookMessageWnd, FollowsTheSessionAndLogsOut) {
    socialtest::SocialWorld w;
    qvtest::TempDir data;
    FacebookDataSaver saver(data.path());
    FacebookMessageWnd window;
    window.enterWaiting();
    window.show(false);
    w.frames(3);
    EXPECT_FALSE(window.closeButton->isVisible());
    window.onCloseClicked();  // waiting: stays
    w.frames(3);
    EXPECT_EQ(window.mState, DialogWindow::Shown);

    {
        FacebookMessage failed(FacebookMessage::SessionFailed);  // dropped: no session
        FacebookMessageDispatcher::instance()->dispatch(failed);
    }
    EXPECT_EQ(window.mode, FacebookWndWaiting);
    w.integration->openSession();
    EXPECT_EQ(window.mode, FacebookWndSuccess);
    EXPECT_TRUE(window.successNode->mEnabled);
    EXPECT_FALSE(window.waitNode->mEnabled);
    EXPECT_TRUE(window.closeButton->isVisible());
    {
        FacebookMessage failed(FacebookMessage::SessionFailed);
        FacebookMessageDispatcher::instance()->dispatch(failed);
    }
    EXPECT_EQ(window.mode, FacebookWndFailed);

    // Logout acts only while the question shows.
    window.onLogout();
    EXPECT_TRUE(w.integration->sessionOpen);
    window.askLogout();
    window.onLogout();
    EXPECT_FALSE(w.integration->sessionOpen);
    EXPECT_EQ(window.mode, FacebookWndClosed);
    EXPECT_TRUE(window.closedNode->mEnabled);
    EXPECT_EQ(std::filesystem::file_size(data.file("facebook_data.dat")), 12u);
}

TEST(FFIcon, ShowsOneResultOnlyAfterAWait) {
    socialtest::SocialWorld w;
    FFIcon icon;
    ASSERT_NE(icon.scene, nullptr);
    w.integration->openSession();
    EXPECT_FALSE(icon.waiting);
    w.integration->closeSession();
    icon.waiting = true;
    icon.setState(FFIconWait);
    w.integration->openSession();
    EXPECT_FALSE(icon.waiting);
    w.integration->closeSession();
}

TEST(MapSocial, MailOpensOnlyWithASessionAndRequestsAndRefreshesEveryMinute) {
    socialtest::SocialWorld w;
    MapSocial social;
    ASSERT_NE(social.mRequestsWindow, nullptr);
    social.showMail();  // nothing yet
    EXPECT_EQ(social.mRequestsWindow->mState, DialogWindow::Hidden);
    w.integration->openSession();
    social.setRequests(offlineRequests(w));
    EXPECT_TRUE(social.hasRequests());
    social.update(0.1f);  // the first update refreshes and restarts the minute
    EXPECT_NEAR(social.mSocialTimer, 60.0f, 1e-4);
    social.update(59.0f);
    EXPECT_NEAR(social.mSocialTimer, 1.0f, 1e-3);
    social.showMail();
    w.frames(10);
    EXPECT_EQ(social.mRequestsWindow->mState, DialogWindow::Shown);
    // Closing the session empties the list at the next refresh.
    w.integration->closeSession();
    social.update(1.5f);
    EXPECT_FALSE(social.hasRequests());
}
