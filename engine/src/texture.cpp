#include "texture.h"

#include <algorithm>
#include <cstring>

#include "image.h"
#include "image_dds.h"
#include "image_jpeg.h"
#include "image_png.h"
#include "image_qvt.h"
#include "log_system.h"
#include "report_assert.h"
#include "texture_device.h"

namespace QV {

namespace {

// How pixels are written into a locked level.
enum PixelLayout { kLayoutRgba, kLayoutDxt5, kLayoutA8L8, kLayoutL8 };

// The decoder of the first kind whose probe answers, or null.
Image* createImageFor(const std::string& name, const std::string& package) {
    if (PngImage::isPng(name, package)) return new PngImage();
    if (DDSImage::isDDS(name, package)) return new DDSImage();
    if (QVTImage::isQVT(name, package)) return new QVTImage();
    if (JpegImage::isJpeg(name, package)) return new JpegImage();
    return nullptr;
}

PixelLayout layoutOfFormat(int32_t format) {
    if (format == TF_A8L8) return kLayoutA8L8;
    if (format == TF_L8) return kLayoutL8;
    return kLayoutRgba;
}

// Red, green, blue, alpha in; blue, green, red, alpha out.
void swizzleRow(unsigned char* out, const unsigned char* in, uint32_t pixels) {
    for (uint32_t x = 0; x < pixels; ++x, in += 4, out += 4) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        out[3] = in[3];
    }
}

// Copies rows of a layout: rows of rowBytes from a source of sourceStride
// bytes per row, never past sourceBytes nor past the destination pitch.
void copyRows(const Gfx::LockedRect& locked, PixelLayout layout, const unsigned char* source,
              std::size_t sourceBytes, std::size_t sourceStride, uint32_t rowBytes, uint32_t rows) {
    unsigned char* out = static_cast<unsigned char*>(locked.bits);
    const std::size_t pitch = locked.pitch > 0 ? static_cast<std::size_t>(locked.pitch) : 0;
    const std::size_t width = std::min<std::size_t>(rowBytes, pitch);
    for (uint32_t y = 0; y < rows; ++y) {
        const std::size_t offset = y * sourceStride;
        if (offset >= sourceBytes) break;
        const std::size_t n = std::min(width, sourceBytes - offset);
        if (layout == kLayoutRgba) {
            swizzleRow(out + y * pitch, source + offset, static_cast<uint32_t>(n / 4));
        } else {
            std::memcpy(out + y * pitch, source + offset, n);
        }
    }
}

}  // namespace

Texture::Texture(const std::string& name, const std::string& package) {
    Image* image = createImageFor(name, package);
    if (!image) QV_FATAL("Failed to load image");
    image->load(name, package);
    takeImage(image);
}

Texture::Texture(Image* image) { takeImage(image); }

Texture::Texture(uint32_t width, uint32_t height, int32_t usage, int32_t format)
    : mWidth(width), mHeight(height), mTextureUsage(usage), mTextureFormat(format) {}

Texture::~Texture() {
    delete mImage;
    Gfx::safeRelease(mHandle);
}

void Texture::takeImage(Image* image) {
    mImage = image;
    if (!image) return;
    mPixels = image->pixels();
    mWidth = image->width();
    mHeight = image->height();
    mByteSize = image->byteSize();
}

void Texture::deleteImage() {
    delete mImage;
    mImage = nullptr;
    mPixels = nullptr;
}

uint32_t Texture::toD3DFormat() const {
    switch (mTextureFormat) {
        case TF_BACK_BUFFER: {
            Gfx::IDevice* device = textureDevice();
            Gfx::ISurface* backBuffer = nullptr;
            Gfx::SurfaceDesc desc;
            if (!device || Gfx::failed(device->getBackBuffer(0, &backBuffer)) || !backBuffer ||
                Gfx::failed(backBuffer->getDesc(&desc))) {
                Gfx::safeRelease(backBuffer);
                QV_FATAL("Failed to get back buffer");
            }
            backBuffer->release();
            return desc.format;
        }
        case TF_A8R8G8B8: return Gfx::FMT_A8R8G8B8;
        case TF_X8R8G8B8: return Gfx::FMT_X8R8G8B8;
        case TF_A8L8: return Gfx::FMT_A8L8;
        case TF_L8: return Gfx::FMT_L8;
        default: QV_FATAL("Unknow texture format");
    }
}

uint32_t Texture::upload() {
    if (mHandle) return 0;
    Gfx::IDevice* device = textureDevice();
    if (!device) return 0;

    uint32_t format = toD3DFormat();
    PixelLayout layout = layoutOfFormat(mTextureFormat);
    if (mImage) {
        switch (mImage->format()) {
            case kImageFormatRGBX:
            case kImageFormatRGBA:
                format = Gfx::FMT_A8R8G8B8;
                mTextureFormat = TF_A8R8G8B8;
                layout = kLayoutRgba;
                break;
            case kImageFormatDXT5:
                format = Gfx::FMT_DXT5;
                mTextureFormat = TF_A8R8G8B8;
                layout = kLayoutDxt5;
                break;
            // The same pairing as updatePixels: 17 two bytes, 18 one byte a pixel.
            case TPK_A8L8:
                format = Gfx::FMT_A8L8;
                mTextureFormat = TF_A8L8;
                layout = kLayoutA8L8;
                break;
            case TPK_L8:
                format = Gfx::FMT_L8;
                mTextureFormat = TF_L8;
                layout = kLayoutL8;
                break;
            default: break;
        }
    }

    Gfx::ITexture* texture = nullptr;
    if (Gfx::failed(device->createTexture(mWidth, mHeight, 1, 0, format, Gfx::POOL_MANAGED,
                                          &texture)) ||
        !texture) {
        return 0;
    }
    if (mImage && mPixels) {
        Gfx::LockedRect locked;
        if (Gfx::failed(texture->lockRect(0, &locked, nullptr, Gfx::LOCK_DISCARD))) {
            texture->release();
            QV_FATAL("Failed to lock dx8 teture");
        }
        fillLevel(locked, layout, mPixels, mImage->byteSize());
        texture->unlockRect(0);
    }
    mHandle = texture;
    mUploaded = true;
    const uint32_t uploaded = mImage ? mImage->byteSize() : 0;
    deleteImage();
    return uploaded;
}

void Texture::fillLevel(const Gfx::LockedRect& locked, int32_t layout, const unsigned char* source,
                        uint32_t sourceBytes) {
    switch (layout) {
        case kLayoutDxt5: {
            // Whole rows of 4 x 4 blocks, the last partial ones included.
            const uint32_t rowBytes = (mWidth + 3) / 4 * 16;
            copyRows(locked, kLayoutDxt5, source, sourceBytes, rowBytes, rowBytes,
                     (mHeight + 3) / 4);
            break;
        }
        case kLayoutA8L8:
            copyRows(locked, kLayoutA8L8, source, sourceBytes, mWidth * 2, mWidth * 2, mHeight);
            break;
        case kLayoutL8:
            copyRows(locked, kLayoutL8, source, sourceBytes, mWidth, mWidth, mHeight);
            break;
        default:
            copyRows(locked, kLayoutRgba, source, sourceBytes, mWidth * 4, mWidth * 4, mHeight);
            break;
    }
}

int Texture::updatePixels(const void* data, int32_t kind, uint32_t width, uint32_t height) {
    if (!mHandle) return 1;
    PixelLayout layout = kLayoutRgba;
    uint32_t bytesPerPixel = 4;
    if (kind == TPK_DXT5) layout = kLayoutDxt5;
    if (kind == TPK_A8L8) layout = kLayoutA8L8, bytesPerPixel = 2;
    if (kind == TPK_L8) layout = kLayoutL8, bytesPerPixel = 1;

    Gfx::LockedRect locked;
    if (Gfx::failed(mHandle->lockRect(0, &locked, nullptr, 0))) return 1;
    const uint32_t w = std::min(mWidth, width);
    const uint32_t h = std::min(mHeight, height);
    const unsigned char* source = static_cast<const unsigned char*>(data);
    if (layout == kLayoutDxt5) {
        const std::size_t stride = static_cast<std::size_t>((width + 3) / 4) * 16;
        copyRows(locked, layout, source, stride * ((height + 3) / 4), stride, (w + 3) / 4 * 16,
                 (h + 3) / 4);
    } else {
        // Source rows are as wide as the frame given, not the region copied.
        const std::size_t stride = static_cast<std::size_t>(width) * bytesPerPixel;
        copyRows(locked, layout, source, stride * height, stride, w * bytesPerPixel, h);
    }
    mHandle->unlockRect(0);
    return 0;
}

void Texture::reset() {
    if (mTextureUsage == TU_NORMAL_TEXTURE) return;
    logFormat("Texture::reset() mTextureUsage %i mTextureFormat %i mHandle %p", mTextureUsage,
              mTextureFormat, static_cast<void*>(mHandle));
    destroy();
    mUploaded = true;

    Gfx::IDevice* device = textureDevice();
    if (mWidth == 0 || mHeight == 0) {
        Gfx::Viewport viewport;
        if (device) device->getViewport(&viewport);
        uint32_t workspaceWidth = 0, workspaceHeight = 0;
        textureWorkspaceSize(&workspaceWidth, &workspaceHeight);
        mWidth = workspaceWidth ? std::min(workspaceWidth, viewport.width) : viewport.width;
        mHeight = workspaceHeight ? std::min(workspaceHeight, viewport.height) : viewport.height;
    }
    mByteSize = mWidth * mHeight * 4;
    if (mTextureUsage != TU_RENDER_TEXTURE) {
        QV_FATAL("ERROR: There is no implementation for creating texture with specified usage type");
    }
    logFormat("Create texture TU_RENDER_TEXTURE size (%i, %i)", static_cast<int>(mWidth),
              static_cast<int>(mHeight));
    if (device) {
        device->createTexture(mWidth, mHeight, 1, Gfx::USAGE_RENDERTARGET, toD3DFormat(),
                              Gfx::POOL_DEFAULT, &mHandle);
    }
    logFormat("mHandle %p", static_cast<void*>(mHandle));
}

void Texture::destroy() {
    logFormat("Texture::destroy() mTextureUsage %i mTextureFormat %i mHandle %p", mTextureUsage,
              mTextureFormat, static_cast<void*>(mHandle));
    deleteImage();
    Gfx::safeRelease(mHandle);
}

}  // namespace QV
