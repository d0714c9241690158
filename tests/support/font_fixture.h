#pragma once

#include <memory>
#include <string>
#include <vector>

#include "application.h"
#include "color.h"
#include "support/render_host.h"

namespace QV {
class EngineAllocators;
class EngineNotificationDispatcher;
class FastSprite;
class RenderSystem;
class Sprite;
class TextManager;
class TextureManager;
class UIFontManager;
class VideoSurfaceStreamer;
template <class T>
class SpriteManager;
namespace Platform {
class Window;
}
}  // namespace QV

namespace qvtest {

class MediaEngine;
class TempDir;

// One content file of a package: resource name, location under media/, bytes.
struct FontMediaFile {
    std::string package;
    std::string name;
    std::string location;
    std::string bytes;
};

// One char-list entry {code, x, y, width, height}.
struct GlyphEntry {
    unsigned code;
    float x, y, width, height;
};

// "<global> = { {code, x, y, w, h}, ... }\n"
std::string charListLua(const std::string& global, const std::vector<GlyphEntry>& entries);

// A picture of 16-pixel cells, each cell filled with one colour of the list
// in reading order (cells per row = width / 16).
std::string cellPng(int width, int height, const std::vector<QV::Color>& cells);

struct FontWorldOptions {
    std::string language = "en";
    int workspaceWidth = 64;
    int workspaceHeight = 64;
    int windowWidth = 0;   // 0: the workspace size
    int windowHeight = 0;
    using Device = HostDevice;
    Device device = Device::None;
};

// What fonts need around them: content over "<temp>/media/" (packages as
// given, config with the language and workspace), allocators, the texture
// manager, both sprite managers, the font manager and, when asked, a render
// system on the recording device or a real OpenGL window of the window size.
class FontWorld {
public:
    explicit FontWorld(const std::vector<FontMediaFile>& files, const FontWorldOptions& options = FontWorldOptions());
    ~FontWorld();

    bool ready() const { return mHost->ready(); }
    QV::RenderSystem* render() { return mHost->render(); }
    QV::TextureManager& textures() { return *mTextures; }
    QV::UIFontManager& fonts() { return *mFonts; }
    QV::SpriteManager<QV::FastSprite>& fastSprites() { return *mFastSprites; }
    QV::SpriteManager<QV::Sprite>& sprites() { return *mSprites; }
    // Loads the string tables of the configured languages.
    QV::TextManager& texts();
    const std::string& root() const;
    // Changes the window record's client size: the fit scale follows (the
    // recording device only; a real window keeps its size).
    void setWindowSize(int width, int height);

    void beginFrame();
    void endFrame();
    template <class F>
    void frame(F draw) {
        beginFrame();
        draw();
        endFrame();
    }
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
    std::unique_ptr<QV::UIFontManager> mFonts;
    std::unique_ptr<QV::TextManager> mTexts;
};

// Pixels of two BGRA pictures of one size differ by more than the tolerance
// in some channel; the count of such pixels.
size_t differingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int tolerance);
// BGRA rows (top first) to RGBA.
std::vector<uint8_t> bgraToRgba(const std::vector<uint8_t>& bgra);
// A PNG's pixels as RGBA rows; false when it does not decode.
bool decodePngRgba(const std::string& png, std::vector<uint8_t>* rgba, uint32_t* width, uint32_t* height);
// Compares RGBA pixels with tests/engine/expected/<name> (each channel within
// the tolerance, at most maxDiffering pixels off) and writes the picture to
// <build>/<name> for a look. An empty result means they match.
std::string compareWithExpected(const std::string& name, const std::vector<uint8_t>& rgba, uint32_t width,
                                uint32_t height, int tolerance = 24, size_t maxDiffering = 0);

}  // namespace qvtest
