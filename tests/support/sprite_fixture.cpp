#include "support/sprite_fixture.h"

#include <cstdlib>
#include <cstring>

#include "engine_allocators.h"
#include "fast_sprite.h"
#include "image_encode.h"
#include "platform/gfx/recording_driver.h"
#include "render_batch.h"
#include "render_system.h"
#include "sprite.h"
#include "support/media_fixture.h"
#include "support/render_host.h"
#include "support/temp_dir.h"
#include "texture_manager.h"
#include "vertex_format.h"
#include "xml_cached_files_manager.h"

namespace qvtest {

std::string blockPng(int width, int height, int blockSize, const std::vector<QV::Color>& colours) {
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    const int columns = (width + blockSize - 1) / blockSize;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QV::Color& c = colours[((y / blockSize) * columns + x / blockSize) % colours.size()];
            uint8_t* p = rgba.data() + (static_cast<size_t>(y) * width + x) * 4;
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = c.a;
        }
    }
    return QV::encodePng(rgba, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}

SpriteWorld::SpriteWorld(const std::vector<SpriteMediaFile>& files, Device device, int width, int height) {
    mDir = std::make_unique<TempDir>();
    std::map<std::string, std::string> names;
    for (const SpriteMediaFile& f : files) {
        names[f.name] = f.location;
        writeFile(mDir->path() + "/media" + f.location, f.bytes);
    }
    writeMedia(mDir->path() + "/media", {{"default", names}}, configLua("en", width, height));
    mMedia = std::make_unique<MediaEngine>(mDir->path());
    mAllocators = std::make_unique<QV::EngineAllocators>();
    mAllocators->init();
    QV::VertexLayout::update();
    mHost = std::make_unique<RenderHost>(device, width, height, "sprite test");
    mTextures = std::make_unique<QV::TextureManager>();
    mSprites = std::make_unique<QV::SpriteManager<QV::Sprite>>();
    mFastSprites = std::make_unique<QV::SpriteManager<QV::FastSprite>>();
}

SpriteWorld::~SpriteWorld() {
    mFastSprites.reset();
    mSprites.reset();
    QV::XmlCachedFilesManager::purge();
    mTextures.reset();
    mHost.reset();
    mAllocators.reset();
    mMedia.reset();
    mDir.reset();
}

const std::string& SpriteWorld::root() const { return mDir->path(); }

void SpriteWorld::beginFrame() {
    mTextures->update();
    render()->beginFrame();
}

void SpriteWorld::endFrame() { render()->endFrame(); }

std::vector<DrawnVertex> SpriteWorld::flushBatch() {
    std::vector<DrawnVertex> out;
    QV::RenderSystem* mRender = render();
    if (!mRender) return out;
    // The batch is written straight into the locked buffer; a flush locks it
    // again with discard, so the vertices are read first.
    const uint32_t count = mRender->getBatchVertexCount();
    QV::RenderDeviceDX8* record = mRender->getDeviceRecord();
    const std::vector<uint8_t>* bytes = record ? QV::Gfx::recordedBytes(record->vertexBuffer) : nullptr;
    const uint32_t stride = QV::VertexLayout::stride();
    if (bytes && bytes->size() >= size_t(count) * stride) {
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* v = bytes->data() + size_t(i) * stride;
            float xyz[3], uv[2];
            DrawnVertex d;
            std::memcpy(xyz, v + QV::VertexLayout::positionOffset(), sizeof(xyz));
            std::memcpy(uv, v + QV::VertexLayout::texCoordOffset(0), sizeof(uv));
            std::memcpy(&d.colour, v + QV::VertexLayout::diffuseOffset(), sizeof(QV::Color));
            d.position = QV::Vector2<float>(xyz[0], xyz[1]);
            d.uv = QV::Vector2<float>(uv[0], uv[1]);
            out.push_back(d);
        }
    }
    mRender->flush();
    return out;
}

bool SpriteWorld::readBack(std::vector<uint8_t>* bgra, uint32_t* width, uint32_t* height) {
    return mHost->readBack(bgra, width, height);
}

}  // namespace qvtest
