#include "social/facebook_user.h"

#include "mutex_lock.h"
#include "sprite.h"
#include "sprite_manager.h"

FacebookUser::FacebookUser() { QV::initRecursiveMutex(&mutex); }

FacebookUser::~FacebookUser() {
    {
        QV::MutexLock lock(&mutex);
        releasePhoto();
    }
    pthread_mutex_destroy(&mutex);
}

void FacebookUser::releasePhoto() {
    if (photo) {
        if (auto* sprites = QV::SpriteManager<QV::Sprite>::instancePointer()) sprites->destroySprite(photo);
    }
    photo = nullptr;
    photoLoaded = false;
}
