#pragma once

#include "social/facebook_message_listener.h"

namespace AE {
class ISceneNode;
}

enum FFIconState { FFIconWait = 0, FFIconSuccess = 1, FFIconFailed = 2, FFIconHide = 3 };

// The social connection's status icon, drawn over every screen.
class FFIcon : public FacebookMessageListener {
public:
    FFIcon();
    ~FFIcon() override;

    void setState(FFIconState state);
    void onMessage(const FacebookMessage& message) override;

    AE::ISceneNode* scene = nullptr;  // owned: "loading_fb_xml"
    bool waiting = false;
};
