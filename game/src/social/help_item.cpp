#include "social/help_item.h"

#include "animationeditor/scene_node.h"
#include "singleton.h"
#include "social/check_box_listener.h"
#include "social/social_photo.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "ui/text_manager.h"

HelpItem::HelpItem(CheckBoxListener* owner, FacebookUser* user)
    : CheckListItem("request_item_xml", owner), user(user) {
    refreshPhoto();
    setTextFlag("title", false);
    setText("title", translatedWithName("HELP_FOR_FRIEND_TITLE", firstNameOf(user)));
    const QV::TextManager* texts = QV::Singleton<QV::TextManager>::instancePointer();
    setTextFlag("text", false);
    setText("text", texts ? texts->translate("HELP_FOR_FRIEND_TEXT") : u"HELP_FOR_FRIEND_TEXT");
    if (auto* sprites = QV::SpriteManager<QV::Sprite>::instancePointer())
        setIcon("icon", sprites->loadSprite("map_sprites_lua", "s_present_steps_window_pochta_psd", "default"));
}

void HelpItem::refreshPhoto() { putUserPhoto(user, mScene ? mScene->findNode("#photo") : nullptr); }
