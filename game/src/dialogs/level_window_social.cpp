#include "dialogs/level_window_social.h"

#include <algorithm>
#include <ctime>

#include "animationeditor/scene_node.h"
#include "flow/episode.h"
#include "flow/game_state_manager.h"
#include "function.h"
#include "player/game_properties.h"
#include "player/player_profile.h"
#include "player/remote_storage.h"
#include "social/facebook_integration.h"
#include "social/facebook_message.h"
#include "social/facebook_message_dispatcher.h"
#include "social/facebook_message_wnd.h"
#include "social/user_item.h"
#include "social/user_item_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_widget.h"

namespace {

bool sessionOpen() {
    const FacebookIntegration* fb = FacebookIntegration::instancePointer();
    return fb && fb->sessionOpen;
}

bool portrait() {
    const GameStateManager* states = GameStateManager::instancePointer();
    return states && states->getOrientation() == 1;
}

QV::UISceneList* listNamed(QV::UIWidget* root, const char* name) {
    QV::UIWidget* widget = root ? root->findChild(name) : nullptr;
    return widget && widget->getType() == QV::kUISceneList ? static_cast<QV::UISceneList*>(widget) : nullptr;
}

}  // namespace

void setLevelWindowSocialButtons(QV::UIWidget* root, AE::ISceneNode* scene, bool connectVisible) {
    for (const char* name : {"facebook_btn_left", "facebook_btn_bottom"})
        if (QV::UIWidget* button = root ? root->findChild(name) : nullptr) button->setVisible(connectVisible);
    for (const char* name : {"#left_list_title", "#bottom_list_title"})
        if (AE::ISceneNode* title = scene ? scene->findNode(name) : nullptr) title->setEnabled(!connectVisible);
}

LevelWindowFriends::~LevelWindowFriends() {
    clear();
    delete mMessageWindow;
}

void LevelWindowFriends::open(QV::UIWidget* root, AE::ISceneNode* scene) {
    mRoot = root;
    mScene = scene;
    mLeftList = listNamed(root, "leftListFriends");
    mBottomList = listNamed(root, "bottomListFriends");
    FacebookMessageDispatcher* dispatcher = FacebookMessageDispatcher::instancePointer();
    if (dispatcher) dispatcher->addListener(this);
    if (!mConnectBound && root && dispatcher) {
        for (const char* name : {"facebook_btn_left", "facebook_btn_bottom"})
            if (QV::UIWidget* button = root->findChild(name))
                button->connect("clicked", new QV::Function<LevelWindowFriends>(this, &LevelWindowFriends::connect));
        mConnectBound = true;
    }
    fill(sessionOpen());
}

void LevelWindowFriends::fill(bool open) {
    clear();
    // Without a social layer (headless runs) the windows show neither buttons nor lists.
    const bool social = FacebookIntegration::instancePointer() != nullptr;
    setLevelWindowSocialButtons(mRoot, mScene, social && !open);
    // One panel per orientation: the left one beside the window, the bottom one under it.
    const bool vertical = portrait();
    for (const char* name : {"facebook_btn_left", "leftListFriends"})
        if (QV::UIWidget* w = mRoot ? mRoot->findChild(name) : nullptr; w && vertical) w->setVisible(false);
    for (const char* name : {"facebook_btn_bottom", "bottomListFriends"})
        if (QV::UIWidget* w = mRoot ? mRoot->findChild(name) : nullptr; w && !vertical) w->setVisible(false);
    for (QV::UISceneList* list : {mLeftList, mBottomList})
        if (list) list->setVisible(open && list == (vertical ? mBottomList : mLeftList));
    if (!open) return;

    FacebookIntegration* fb = FacebookIntegration::instance();
    const RemoteStorage* storage = RemoteStorage::instancePointer();
    GameProperties* properties = GameProperties::instancePointer();
    const PlayerProfile* profile = properties ? properties->profile() : nullptr;
    if (!storage) return;
    const uint64_t playerId = profile ? profile->mProfileId : 0;
    const int64_t now = int64_t(std::time(nullptr));
    int32_t best = 0;
    for (const FriendProgress& entry : buildFriendsProgressList(storage->friendProgress, playerId)) {
        FacebookUser* user = fb->findUser(entry.userId);
        if (!user) continue;
        const bool leader = best == 0 || best == entry.progress;
        auto* controller =
            new UserItemController(UserItemController::isRequested(entry.userId, now), entry.progress, user, leader);
        mControllers.push_back(controller);
        if (mLeftList) mLeftList->addItem(controller->leftItem);
        else delete controller->leftItem, controller->leftItem = nullptr;
        if (mBottomList) mBottomList->addItem(controller->bottomItem);
        else delete controller->bottomItem, controller->bottomItem = nullptr;
        best = std::max(best, entry.progress);
    }
}

void LevelWindowFriends::clear() {
    for (UserItemController* controller : mControllers) delete controller;
    mControllers.clear();
    for (QV::UISceneList* list : {mLeftList, mBottomList})
        if (list) list->clearItems();
}

void LevelWindowFriends::connect() {
    FacebookIntegration* fb = FacebookIntegration::instancePointer();
    if (!fb || fb->sessionOpen) return;
    if (!mMessageWindow && QV::UIManager::instancePointer()) mMessageWindow = new FacebookMessageWnd();
    if (mMessageWindow) {
        mMessageWindow->enterWaiting();
        mMessageWindow->show(false);
    }
    fb->openSession();
}

void LevelWindowFriends::onMessage(const FacebookMessage& message) {
    if (!mRoot) return;
    if (message.mKind == FacebookMessage::SessionOpened) fill(true);
    // The flag is still set while the closing is told: back to the connect buttons.
    if (message.mKind == FacebookMessage::SessionClosed) fill(false);
}
