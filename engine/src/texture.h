#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/gfx/gfx_device.h"

namespace QV {

class Image;

// What a texture is for: ordinary textures live in the managed pool and
// survive a device reset; render textures are rebuilt after it.
enum TextureUsage : int32_t {
    TU_NORMAL_TEXTURE = 0,
    TU_RENDER_TEXTURE = 1,
};

// Texture formats: 0 the back buffer's, 1 A8R8G8B8, 2 X8R8G8B8, 3 A8L8, 4 L8.
enum TextureFormat : int32_t {
    TF_BACK_BUFFER = 0,
    TF_A8R8G8B8 = 1,
    TF_X8R8G8B8 = 2,
    TF_A8L8 = 3,
    TF_L8 = 4,
};

// Pixel kinds updatePixels takes besides 32-bit red, green, blue, alpha.
enum TexturePixelKind : int32_t {
    TPK_DXT5 = 6,
    TPK_A8L8 = 17,
    TPK_L8 = 18,
};

// One device texture and the decoded image it is made from. The device is
// touched only on the main thread (upload, updatePixels, reset, destroy).
class Texture {
public:
    // Decodes the resource, whose kind is found by content (PNG, DDS, QVT,
    // JPEG); a missing file or an unknown kind is fatal.
    Texture(const std::string& name, const std::string& package);
    // Takes the image.
    explicit Texture(Image* image);
    // No image: an empty or render texture of the given size.
    Texture(uint32_t width, uint32_t height, int32_t usage, int32_t format);
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Creates the device texture and fills it. Returns the image's byte size,
    // 0 when nothing was uploaded; isUploaded tells whether it worked.
    uint32_t upload();
    // Copies new pixels of a kind into the device texture: 0, or 1 when there
    // is no device texture or it cannot be locked.
    int updatePixels(const void* data, int32_t kind, uint32_t width, uint32_t height);
    // Rebuilds a render texture on the device.
    void reset();
    // Frees the image and the device texture.
    void destroy();
    uint32_t toD3DFormat() const;

    Gfx::ITexture* getHandle() const { return mHandle; }
    uint32_t getWidth() const { return mWidth; }
    uint32_t getHeight() const { return mHeight; }
    uint32_t getByteSize() const { return mByteSize; }
    int32_t getRefCount() const { return mRefCount.load(); }
    int32_t incRefCount() { return ++mRefCount; }
    int32_t decRefCount() { return --mRefCount; }
    Image* getImage() const { return mImage; }
    bool isUploaded() const { return mUploaded.load(); }
    int32_t getUsage() const { return mTextureUsage; }
    int32_t getFormat() const { return mTextureFormat; }

    // Frees the decoded image (the texture manager does this on release).
    void deleteImage();
    void setByteSize(uint32_t bytes) { mByteSize = bytes; }

private:
    void takeImage(Image* image);
    void fillLevel(const Gfx::LockedRect& locked, int32_t layout, const unsigned char* source,
                   uint32_t sourceBytes);

    Gfx::ITexture* mHandle = nullptr;
    uint32_t mWidth = 0;
    uint32_t mHeight = 0;
    uint32_t mByteSize = 0;
    // Kept by draw records on any thread; released under the manager's lock.
    std::atomic<int32_t> mRefCount{0};
    Image* mImage = nullptr;
    unsigned char* mPixels = nullptr;
    std::atomic<bool> mUploaded{false};
    int32_t mTextureUsage = TU_NORMAL_TEXTURE;
    int32_t mTextureFormat = TF_A8R8G8B8;
};

}  // namespace QV
