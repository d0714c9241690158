#include "social/request_item.h"

#include "animationeditor/scene_node.h"
#include "flow/main_mode.h"
#include "player/game_properties.h"
#include "social/check_box_listener.h"
#include "social/facebook_integration.h"
#include "social/facebook_message.h"
#include "social/request_payload.h"
#include "social/social_photo.h"
#include "sprite.h"
#include "sprite_manager.h"

namespace {

constexpr int kMaxHearts = 5;
constexpr int kGiftedMoves = 3;

MainMode* mainMode() {
    GameProperties* properties = GameProperties::instancePointer();
    return properties ? dynamic_cast<MainMode*>(properties->findMode("MainMode")) : nullptr;
}

QV::Sprite* mapSprite(const char* name) {
    auto* sprites = QV::SpriteManager<QV::Sprite>::instancePointer();
    return sprites ? sprites->loadSprite("map_sprites_lua", name, "default") : nullptr;
}

}  // namespace

RequestItem::RequestItem(CheckBoxListener* owner, const FacebookRequest& request)
    : CheckListItem("request_item_xml", owner),
      senderId(request.senderId),
      senderName(request.senderName),
      requestId(request.requestId) {
    const RequestPayload payload = readRequestData(request.data);
    type = payload.type;
    value = payload.value;
    refreshPhoto();
    setTextFlag("title", true);
    setText("title", u"HELP_FROM_FRIEND_TITLE");
    std::string description;
    if (type == "takeLife") {
        setIcon("icon", mapSprite("s_present_heart_window_pochta_psd"));
        description = "HELP_FROM_FRIEND_DESC_HEART";
    } else if (type == "takeSteps") {
        setIcon("icon", mapSprite("s_present_steps_window_pochta_psd"));
        description = "HELP_FROM_FRIEND_DESC_STEPS";
    } else {
        setIcon("icon", nullptr);  // the scene's placeholder goes too
    }
    FacebookIntegration* fb = FacebookIntegration::instancePointer();
    const std::string name = firstNameOf(fb ? fb->findUser(senderId) : nullptr);
    setTextFlag("text", false);
    setText("text", description.empty() ? std::u16string() : translatedWithName(description, name));
}

void RequestItem::refreshPhoto() {
    FacebookIntegration* fb = FacebookIntegration::instancePointer();
    putUserPhoto(fb ? fb->findUser(senderId) : nullptr, mScene ? mScene->findNode("#photo") : nullptr);
}

void RequestItem::accept() {
    if (MainMode* mode = mainMode()) {
        if (type == "takeLife" && mode->getHearts() < kMaxHearts) mode->addHeart();
        if (type == "takeSteps") mode->setExtraMoves(kGiftedMoves);
    }
    accepted = true;
}
