#include "social/social_photo.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "dialogs/translated_format.h"
#include "mutex_lock.h"
#include "singleton.h"
#include "social/facebook_user.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "ui/text_manager.h"
#include "ui/wide_string.h"

void putUserPhoto(FacebookUser* user, AE::ISceneNode* node) {
    if (!user || !node || node->getType() != AE::kSpriteNode) return;
    auto* sprites = QV::SpriteManager<QV::Sprite>::instancePointer();
    if (!sprites) return;
    QV::MutexLock lock(&user->mutex);
    if (!user->photo) return;
    QV::Sprite* clone = sprites->cloneSprite(user->photo);
    if (!clone) return;
    const QV::Vector2<float> size = node->getSize();
    if (size.x > 0.0f && size.y > 0.0f) clone->setSize(size);
    static_cast<AE::SpriteSceneNode*>(node)->setSprite(clone);
}

std::string firstNameOf(FacebookUser* user) {
    if (!user) return std::string();
    QV::MutexLock lock(&user->mutex);
    return QV::toNarrow(user->firstName);
}

std::u16string translatedWithName(const std::string& textId, const std::string& name) {
    const QV::TextManager* texts = QV::Singleton<QV::TextManager>::instancePointer();
    const std::string format = texts ? QV::toNarrow(texts->translate(textId)) : textId;
    return QV::toWide(formatTranslated(format, "s", name.c_str()));
}
