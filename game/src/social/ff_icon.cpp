#include "social/ff_icon.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "social/facebook_message.h"
#include "social/facebook_message_dispatcher.h"

FFIcon::FFIcon() {
    FacebookMessageDispatcher::instance()->addListener(this);
    scene = AE::loadScene("loading_fb_xml");
    if (scene) setState(FFIconHide);
}

FFIcon::~FFIcon() {
    delete scene;
    if (FacebookMessageDispatcher* dispatcher = FacebookMessageDispatcher::instancePointer())
        dispatcher->removeListener(this);
}

void FFIcon::setState(FFIconState state) {
    static const char* const kMarkers[] = {"wait", "suc", "failed", "hide"};
    if (scene && scene->findMarker(kMarkers[state])) scene->playMarker(kMarkers[state]);
}

void FFIcon::onMessage(const FacebookMessage& message) {
    if (!waiting) return;
    if (message.mKind == FacebookMessage::SessionOpened) {
        setState(FFIconSuccess);
        waiting = false;
    } else if (message.mKind == FacebookMessage::SessionFailed) {
        setState(FFIconFailed);
        waiting = false;
    }
}
