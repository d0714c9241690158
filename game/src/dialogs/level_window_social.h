#pragma once

#include <vector>

#include "social/facebook_message_listener.h"

namespace AE {
class ISceneNode;
}
namespace QV {
class UIWidget;
class UISceneList;
}  // namespace QV
class FacebookMessageWnd;
class UserItemController;

// The friends' panels of the level windows: the connect buttons
// "facebook_btn_left" and "facebook_btn_bottom" show exactly when
// `connectVisible`, the list titles exactly when not. Missing ones are skipped.
void setLevelWindowSocialButtons(QV::UIWidget* root, AE::ISceneNode* scene, bool connectVisible);

// The friends' lists of a level window ("leftListFriends" in landscape,
// "bottomListFriends" in portrait): one row pair per friend with progress,
// the leader marked; without a session the connect buttons instead, which
// connect through the window's own connection window.
class LevelWindowFriends : public FacebookMessageListener {
public:
    LevelWindowFriends() = default;
    // Deletes the controllers before their rows go with the lists.
    ~LevelWindowFriends() override;

    // Called when the window opens: buttons or lists, as the session stands.
    void open(QV::UIWidget* root, AE::ISceneNode* scene);
    void clear();
    void connect();
    void onMessage(const FacebookMessage& message) override;

    const std::vector<UserItemController*>& controllers() const { return mControllers; }

private:
    void fill(bool open);

    QV::UIWidget* mRoot = nullptr;
    AE::ISceneNode* mScene = nullptr;
    QV::UISceneList* mLeftList = nullptr;
    QV::UISceneList* mBottomList = nullptr;
    std::vector<UserItemController*> mControllers;  // owned
    FacebookMessageWnd* mMessageWindow = nullptr;  // owned
    bool mConnectBound = false;
};
