#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "application.h"
#include "color.h"
#include "support/render_host.h"
#include "sprite_manager.h"
#include "vector2.h"

namespace QV {
class EngineAllocators;
class EngineNotificationDispatcher;
class FastSprite;
class RenderSystem;
class Sprite;
class TextureManager;
class VideoSurfaceStreamer;
namespace Platform {
class Window;
}
}  // namespace QV

namespace qvtest {

class MediaEngine;
class TempDir;

// One content file: resource name in package "default", location under media/, bytes.
struct SpriteMediaFile {
    std::string name;
    std::string location;
    std::string bytes;
};

// One vertex as the renderer received it.
struct DrawnVertex {
    QV::Vector2<float> position;
    QV::Vector2<float> uv;
    QV::Color colour;
};

// A PNG of solid colour blocks: block (bx, by) of a grid of blockSize
// pixels takes colours[(by * columns + bx) % colours.size()].
std::string blockPng(int width, int height, int blockSize, const std::vector<QV::Color>& colours);

// What sprites need around them: content over "<temp>/media/" in package
// "default", the allocators (for the XML cache), the texture manager, both
// sprite managers and, when asked, a render system on the recording device
// or on a real OpenGL window of the workspace size.
class SpriteWorld {
public:
    using Device = HostDevice;

    SpriteWorld(const std::vector<SpriteMediaFile>& files, Device device = Device::None, int width = 64,
                int height = 64);
    ~SpriteWorld();

    // False when the OpenGL window could not be made (no display support).
    bool ready() const { return mHost->ready(); }
    QV::RenderSystem* render() { return mHost->render(); }
    QV::TextureManager& textures() { return *mTextures; }
    QV::SpriteManager<QV::Sprite>& sprites() { return *mSprites; }
    QV::SpriteManager<QV::FastSprite>& fastSprites() { return *mFastSprites; }
    const std::string& root() const;
    // Deletes both sprite managers (and the sprites they still own).
    void deleteSpriteManagers() {
        mFastSprites.reset();
        mSprites.reset();
    }

    // Draws one frame: uploads waiting textures first (a frame, so that they
    // are on the device), then begins a frame, calls draw and ends it.
    template <class F>
    void frame(F draw) {
        beginFrame();
        draw();
        endFrame();
    }
    void beginFrame();
    void endFrame();
    // Recording device: the vertices of the open batch, which is then sent to the device.
    std::vector<DrawnVertex> flushBatch();
    // After endFrame: the window's pixels as BGRA rows, top row first.
    bool readBack(std::vector<uint8_t>* bgra, uint32_t* width, uint32_t* height);

private:
    std::unique_ptr<TempDir> mDir;
    std::unique_ptr<MediaEngine> mMedia;
    std::unique_ptr<QV::EngineAllocators> mAllocators;
    std::unique_ptr<RenderHost> mHost;
    std::unique_ptr<QV::TextureManager> mTextures;
    std::unique_ptr<QV::SpriteManager<QV::Sprite>> mSprites;
    std::unique_ptr<QV::SpriteManager<QV::FastSprite>> mFastSprites;
};

}  // namespace qvtest
