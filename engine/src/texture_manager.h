#pragma once

#include <pthread.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "singleton.h"

namespace QV {

class Image;
class Texture;

// Owns every texture, by package and resource name. Textures are decoded on
// the requesting thread and reach the device at the end of a frame (update,
// main thread); released ones are destroyed there too.
//
// Locks: the tables mutex may be held while a queue mutex is taken, never the
// reverse; update takes the two queue mutexes one after the other.
class TextureManager : public Singleton<TextureManager> {
public:
    using NameTable = std::map<std::string, Texture*>;
    using PackageTable = std::map<std::string, NameTable>;

    TextureManager();
    ~TextureManager() override;

    Texture* findTexture(const std::string& package, const std::string& name);
    // The texture of that name, decoded now when it is not there yet. The
    // reference count is left to the caller.
    Texture* getTexture(const std::string& name, const std::string& package);
    // As getTexture, from a decoded image the manager takes; when the name
    // exists already the image is deleted and the existing texture returned.
    Texture* createTextureFromImage(Image* image, const std::string& package,
                                    const std::string& name);
    // A screen-sized render target ("rendertexture%i" in "default").
    Texture* createRenderTexture();
    // A texture without pixels ("emptytexture%i" in "default").
    Texture* createEmptyTexture(uint32_t width, uint32_t height, int32_t format);

    // Drops one reference; at 0 the texture leaves the tables and is destroyed
    // at the next update. Null and unknown textures are ignored.
    void releaseTexture(Texture* texture);
    // As releaseTexture, whatever the count.
    void destroyTexture(Texture* texture);

    // End of frame, main thread: destroys the released textures, then uploads
    // the queued ones.
    void update();
    void destroyQueued();

    // Around a device reset: render textures lose and regain their device textures.
    void releaseDeviceTextures();
    void resetDeviceTextures();

    uint32_t getTotalBytes();
    uint32_t getPeakBytes();
    size_t uploadQueueSize();
    size_t destroyQueueSize();
    size_t textureCount();

private:
    // Under the tables mutex: stores a new texture, counts and queues it.
    void addTexture(Texture* texture, const std::string& package, const std::string& name);
    void removeTexture(Texture* texture, bool force);
    // The existing texture, or the given one stored; the loser of a race is deleted.
    Texture* storeUnlessPresent(Texture* texture, const std::string& package,
                                const std::string& name);

    PackageTable mTextures;
    uint32_t mTotalBytes = 0;
    uint32_t mPeakBytes = 0;
    std::vector<Texture*> mUploadQueue;
    std::vector<Texture*> mDestroyQueue;
    pthread_mutex_t mUploadQueueMutex;
    bool mUploadQueueMutexCreated = false;
    pthread_mutex_t mTablesMutex;
    bool mTablesMutexCreated = false;
    pthread_mutex_t mDestroyQueueMutex;
    bool mDestroyQueueMutexCreated = false;
};

}  // namespace QV
