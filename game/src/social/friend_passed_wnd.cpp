#include "social/friend_passed_wnd.h"

#include "animationeditor/scene_node.h"
#include "dialogs/translated_format.h"
#include "dialogs/window_nodes.h"
#include "flow/episode.h"
#include "format_string.h"
#include "singleton.h"
#include "social/facebook_integration.h"
#include "social/social_photo.h"
#include "ui/text_manager.h"
#include "ui/wide_string.h"

namespace {

std::string translated(const char* id) {
    const QV::TextManager* texts = QV::Singleton<QV::TextManager>::instancePointer();
    return texts ? QV::toNarrow(texts->translate(id)) : std::string(id);
}

}  // namespace

FriendPassedWnd::FriendPassedWnd() : DialogWindow("friend_passed_wnd_ui", "FriendPassedWnd", "gui") {
    bindButton("btnSend", this, &FriendPassedWnd::postFeed);
    bindButton("btnClose", this, &FriendPassedWnd::onCloseClicked);
}

void FriendPassedWnd::open(EpisodeLevel* levelRecord, int32_t caption, uint64_t friendId, int32_t friendScore) {
    level = levelRecord;
    captionValue = caption;
    FacebookIntegration* fb = FacebookIntegration::instancePointer();
    friendUser = fb ? fb->findUser(friendId) : nullptr;
    AE::ISceneNode* userPhoto = mScene ? mScene->findNode("#user_photo") : nullptr;
    AE::ISceneNode* leaderPhoto = mScene ? mScene->findNode("#leader_photo") : nullptr;
    if (fb) putUserPhoto(&fb->user, userPhoto);
    window_nodes::setText(window_nodes::text(mScene, "#user_score"),
                          QV::formatString("%d", level ? level->mBestScore : 0), false);
    putUserPhoto(friendUser, leaderPhoto);
    window_nodes::setText(window_nodes::text(mScene, "#leader_score"), QV::formatString("%d", friendScore), false);
    show(true);
}

void FriendPassedWnd::postFeed() {
    feed[0] = formatTranslated(translated("LEVEL_FRIEND_PASSED_FEED_NAME"), "d", (level ? level->mId : 0) + 1);
    feed[1] = formatTranslated(translated("LEVEL_FRIEND_PASSED_FEED_CAPTION"), "d", captionValue);
    feed[2] = translated("LEVEL_FRIEND_PASSED_FEED_PIC_URL");
    feed[3] = translated("LEVEL_FRIEND_PASSED_FEED_LINK");
    hide();
}
