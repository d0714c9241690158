#include "texture_manager.h"

#include <algorithm>
#include <cstdio>

#include "format_string.h"
#include "image.h"
#include "log_system.h"
#include "mutex_lock.h"
#include "render_batch.h"
#include "render_data.h"
#include "texture.h"
#include "texture_device.h"

namespace QV {

namespace {

int gRenderTextureCounter = 0;
int gEmptyTextureCounter = 0;
const char* const kGeneratedPackage = "default";

void retainTexture(Texture* texture) {
    if (texture) texture->incRefCount();
}

void releaseTextureReference(Texture* texture) {
    if (!texture) return;
    if (TextureManager* manager = TextureManager::instancePointer()) manager->releaseTexture(texture);
}

// The renderer's view of the manager, installed while it exists.
template <void (TextureManager::*Operation)()>
void withManager() {
    if (TextureManager* manager = TextureManager::instancePointer()) (manager->*Operation)();
}

TextureDeviceHooks deviceHooks() {
    TextureDeviceHooks hooks;
    hooks.isUploaded = [](const Texture* t) { return t->isUploaded(); };
    hooks.deviceTexture = [](const Texture* t) { return t->getHandle(); };
    hooks.update = withManager<&TextureManager::update>;
    hooks.destroyQueued = withManager<&TextureManager::destroyQueued>;
    hooks.releaseDeviceTextures = withManager<&TextureManager::releaseDeviceTextures>;
    hooks.resetDeviceTextures = withManager<&TextureManager::resetDeviceTextures>;
    return hooks;
}

}  // namespace

TextureManager::TextureManager() {
    mUploadQueue.reserve(256);
    mDestroyQueue.reserve(256);
    initRecursiveMutex(&mUploadQueueMutex);
    mUploadQueueMutexCreated = true;
    initRecursiveMutex(&mTablesMutex);
    mTablesMutexCreated = true;
    initRecursiveMutex(&mDestroyQueueMutex);
    mDestroyQueueMutexCreated = true;
    TextureReferenceHooks hooks;
    hooks.retain = retainTexture;
    hooks.release = releaseTextureReference;
    setTextureReferenceHooks(hooks);
    setTextureDeviceHooks(deviceHooks());
}

TextureManager::~TextureManager() {
    setTextureReferenceHooks(TextureReferenceHooks());
    setTextureDeviceHooks(TextureDeviceHooks());
    {
        // The same order as everywhere else, so a late loader cannot deadlock shut-down.
        MutexLock tablesLock(&mTablesMutex);
        MutexLock queueLock(&mUploadQueueMutex);
        for (auto& package : mTextures) {
            std::printf("total textures %li \n", static_cast<long>(package.second.size()));
            for (auto& entry : package.second) {
                entry.second->destroy();
                delete entry.second;
            }
        }
        mTextures.clear();
        mUploadQueue.clear();
    }
    std::fflush(stdout);
    destroyQueued();
    pthread_mutex_destroy(&mUploadQueueMutex);
    pthread_mutex_destroy(&mTablesMutex);
    pthread_mutex_destroy(&mDestroyQueueMutex);
    mUploadQueueMutexCreated = mTablesMutexCreated = mDestroyQueueMutexCreated = false;
}

Texture* TextureManager::findTexture(const std::string& package, const std::string& name) {
    MutexLock lock(&mTablesMutex);
    auto p = mTextures.find(package);
    if (p == mTextures.end()) return nullptr;
    auto t = p->second.find(name);
    return t == p->second.end() ? nullptr : t->second;
}

void TextureManager::addTexture(Texture* texture, const std::string& package,
                                const std::string& name) {
    mTextures[package][name] = texture;
    mTotalBytes += texture->getByteSize();
    mPeakBytes = std::max(mPeakBytes, mTotalBytes);
    MutexLock queueLock(&mUploadQueueMutex);
    mUploadQueue.push_back(texture);
}

Texture* TextureManager::storeUnlessPresent(Texture* texture, const std::string& package,
                                            const std::string& name) {
    {
        MutexLock lock(&mTablesMutex);
        if (Texture* existing = findTexture(package, name)) {
            texture->deleteImage();
            delete texture;
            return existing;
        }
        addTexture(texture, package, name);
    }
    return texture;
}

Texture* TextureManager::getTexture(const std::string& name, const std::string& package) {
    if (Texture* existing = findTexture(package, name)) return existing;
    // Decoding runs outside the lock, so other threads keep loading meanwhile;
    // when two asked at once, the first one stored wins.
    return storeUnlessPresent(new Texture(name, package), package, name);
}

Texture* TextureManager::createTextureFromImage(Image* image, const std::string& package,
                                                const std::string& name) {
    if (Texture* existing = findTexture(package, name)) {
        delete image;
        return existing;
    }
    return storeUnlessPresent(new Texture(image), package, name);
}

Texture* TextureManager::createRenderTexture() {
    MutexLock lock(&mTablesMutex);
    const std::string name = formatString("rendertexture%i", gRenderTextureCounter++);
    logFormat("Creating render texture... (%s)", name.c_str());
    Texture* texture = new Texture(0, 0, TU_RENDER_TEXTURE, TF_BACK_BUFFER);
    texture->reset();
    addTexture(texture, kGeneratedPackage, name);
    return texture;
}

Texture* TextureManager::createEmptyTexture(uint32_t width, uint32_t height, int32_t format) {
    MutexLock lock(&mTablesMutex);
    const std::string name = formatString("emptytexture%i", gEmptyTextureCounter++);
    Texture* texture = new Texture(width, height, TU_NORMAL_TEXTURE, format);
    // Counted as 4 bytes a pixel whatever the format.
    texture->setByteSize(width * height * 4);
    addTexture(texture, kGeneratedPackage, name);
    logFormat("Creating empty texture... (%s)", name.c_str());
    return texture;
}

void TextureManager::releaseTexture(Texture* texture) { removeTexture(texture, false); }

void TextureManager::destroyTexture(Texture* texture) { removeTexture(texture, true); }

void TextureManager::removeTexture(Texture* texture, bool force) {
    if (!texture) return;
    MutexLock lock(&mTablesMutex);
    for (auto p = mTextures.begin(); p != mTextures.end(); ++p) {
        for (auto t = p->second.begin(); t != p->second.end(); ++t) {
            if (t->second != texture) continue;
            if (texture->decRefCount() >= 1 && !force) return;
            {
                MutexLock queueLock(&mUploadQueueMutex);
                mUploadQueue.erase(std::remove(mUploadQueue.begin(), mUploadQueue.end(), texture),
                                   mUploadQueue.end());
            }
            const uint32_t bytes = texture->getByteSize();
            mTotalBytes = mTotalBytes > bytes ? mTotalBytes - bytes : 0;
            {
                MutexLock destroyLock(&mDestroyQueueMutex);
                texture->deleteImage();
                mDestroyQueue.push_back(texture);
            }
            p->second.erase(t);
            return;
        }
    }
}

void TextureManager::destroyQueued() {
    MutexLock lock(&mDestroyQueueMutex);
    for (Texture* texture : mDestroyQueue) {
        texture->destroy();
        delete texture;
    }
    mDestroyQueue.clear();
}

void TextureManager::update() {
    destroyQueued();
    // Without a device the queue waits for one instead of being refused.
    if (!textureDevice()) return;
    for (;;) {
        // The lock is dropped between textures so decoding threads can queue meanwhile.
        MutexLock lock(&mUploadQueueMutex);
        if (mUploadQueue.empty()) break;
        Texture* texture = mUploadQueue.front();
        if (texture->isUploaded()) {
            mUploadQueue.erase(mUploadQueue.begin());
            continue;
        }
        texture->upload();
        if (!texture->isUploaded()) {
            // A texture the device refused stays undrawn but must not hold up the rest.
            logFormat("ERROR: Failed to upload texture %ux%u format %i", texture->getWidth(),
                      texture->getHeight(), texture->getFormat());
            mUploadQueue.erase(mUploadQueue.begin());
        }
    }
}

void TextureManager::releaseDeviceTextures() {
    for (auto& package : mTextures) {
        for (auto& entry : package.second) {
            if (entry.second->getUsage() != TU_NORMAL_TEXTURE) entry.second->destroy();
        }
    }
}

void TextureManager::resetDeviceTextures() {
    for (auto& package : mTextures) {
        for (auto& entry : package.second) {
            if (entry.second->getUsage() != TU_NORMAL_TEXTURE) entry.second->reset();
        }
    }
}

uint32_t TextureManager::getTotalBytes() {
    MutexLock lock(&mTablesMutex);
    return mTotalBytes;
}

uint32_t TextureManager::getPeakBytes() {
    MutexLock lock(&mTablesMutex);
    return mPeakBytes;
}

size_t TextureManager::uploadQueueSize() {
    MutexLock lock(&mUploadQueueMutex);
    return mUploadQueue.size();
}

size_t TextureManager::destroyQueueSize() {
    MutexLock lock(&mDestroyQueueMutex);
    return mDestroyQueue.size();
}

size_t TextureManager::textureCount() {
    MutexLock lock(&mTablesMutex);
    size_t count = 0;
    for (auto& package : mTextures) count += package.second.size();
    return count;
}

}  // namespace QV
