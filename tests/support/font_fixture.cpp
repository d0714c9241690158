#include "support/font_fixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <map>

#include "engine_allocators.h"
#include "fast_sprite.h"
#include "image.h"
#include "image_encode.h"
#include "image_png.h"
#include "platform/gfx/recording_driver.h"
#include "render_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "support/media_fixture.h"
#include "support/render_host.h"
#include "support/temp_dir.h"
#include "texture.h"
#include "texture_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_font_manager.h"
#include "vertex_format.h"
#include "xml_cached_files_manager.h"

namespace qvtest {

namespace {

std::string number(float v) {
    std::string text = std::to_string(v);
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

std::string charListLua(const std::string& global, const std::vector<GlyphEntry>& entries) {
    std::string text = global + " = {\n";
    for (const GlyphEntry& e : entries) {
        text += "  { " + std::to_string(e.code) + ", " + number(e.x) + ", " + number(e.y) + ", " + number(e.width) +
                ", " + number(e.height) + " },\n";
    }
    return text + "}\n";
}

std::string cellPng(int width, int height, const std::vector<QV::Color>& cells) {
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4, 0);
    const int columns = width / 16;
    for (size_t i = 0; i < cells.size(); ++i) {
        const int cx = static_cast<int>(i) % columns * 16;
        const int cy = static_cast<int>(i) / columns * 16;
        for (int y = cy; y < cy + 16 && y < height; ++y) {
            for (int x = cx; x < cx + 16; ++x) {
                uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
                p[0] = cells[i].r;
                p[1] = cells[i].g;
                p[2] = cells[i].b;
                p[3] = cells[i].a;
            }
        }
    }
    return QV::encodePng(rgba, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}

FontWorld::FontWorld(const std::vector<FontMediaFile>& files, const FontWorldOptions& options) {
    mDir = std::make_unique<TempDir>();
    PackageLists packages;
    packages["default"];
    for (const FontMediaFile& f : files) {
        packages[f.package][f.name] = f.location;
        writeFile(mDir->path() + "/media" + f.location, f.bytes);
    }
    writeMedia(mDir->path() + "/media", packages,
               configLua(options.language, options.workspaceWidth, options.workspaceHeight));
    mMedia = std::make_unique<MediaEngine>(mDir->path());
    mAllocators = std::make_unique<QV::EngineAllocators>();
    mAllocators->init();
    QV::VertexLayout::update();
    mHost = std::make_unique<RenderHost>(options.device,
                                         options.windowWidth > 0 ? options.windowWidth : options.workspaceWidth,
                                         options.windowHeight > 0 ? options.windowHeight : options.workspaceHeight,
                                         "font test");
    mTextures = std::make_unique<QV::TextureManager>();
    mSprites = std::make_unique<QV::SpriteManager<QV::Sprite>>();
    mFastSprites = std::make_unique<QV::SpriteManager<QV::FastSprite>>();
    mFonts = std::make_unique<QV::UIFontManager>();
}

FontWorld::~FontWorld() {
    mFonts.reset();
    mTexts.reset();
    mFastSprites.reset();
    mSprites.reset();
    QV::XmlCachedFilesManager::purge();
    mTextures.reset();
    mHost.reset();
    mAllocators.reset();
    mMedia.reset();
    mDir.reset();
}

QV::TextManager& FontWorld::texts() {
    if (!mTexts) {
        mTexts = std::make_unique<QV::TextManager>();
        mTexts->load();
    }
    return *mTexts;
}

const std::string& FontWorld::root() const { return mDir->path(); }

void FontWorld::setWindowSize(int width, int height) {
    mHost->window().clientWidth = width;
    mHost->window().clientHeight = height;
}

void FontWorld::beginFrame() {
    mTextures->update();
    render()->beginFrame();
}

void FontWorld::endFrame() { render()->endFrame(); }

bool FontWorld::readBack(std::vector<uint8_t>* bgra, uint32_t* width, uint32_t* height) {
    return mHost->readBack(bgra, width, height);
}

size_t differingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int tolerance) {
    if (a.size() != b.size()) return a.size() / 4 + b.size() / 4;
    size_t count = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4) {
        for (int c = 0; c < 4; ++c) {
            if (std::abs(int(a[i + c]) - int(b[i + c])) > tolerance) {
                ++count;
                break;
            }
        }
    }
    return count;
}

std::vector<uint8_t> bgraToRgba(const std::vector<uint8_t>& bgra) {
    std::vector<uint8_t> rgba(bgra.size());
    for (size_t i = 0; i + 3 < bgra.size(); i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = bgra[i + 3];
    }
    return rgba;
}

bool decodePngRgba(const std::string& png, std::vector<uint8_t>* rgba, uint32_t* width, uint32_t* height) {
    QV::MemoryImageSource source(png.data(), png.size());
    QV::PngImage image;
    if (!image.decode(source, nullptr)) return false;
    *width = image.decodedWidth();
    *height = image.decodedHeight();
    rgba->resize(static_cast<size_t>(*width) * *height * 4);
    for (uint32_t y = 0; y < *height; ++y) {
        std::copy(image.pixels() + static_cast<size_t>(y) * image.rowBytes(),
                  image.pixels() + static_cast<size_t>(y) * image.rowBytes() + *width * 4,
                  rgba->begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * *width * 4));
    }
    return true;
}

std::string compareWithExpected(const std::string& name, const std::vector<uint8_t>& rgba, uint32_t width,
                                uint32_t height, int tolerance, size_t maxDiffering) {
    std::ofstream(std::string(QV_BINARY_DIR) + "/" + name, std::ios::binary) << QV::encodePng(rgba, width, height);
    const std::string expectedPath = std::string(QV_SOURCE_DIR) + "/tests/engine/expected/" + name;
    std::ifstream in(expectedPath, std::ios::binary);
    if (!in) return "no expected picture " + expectedPath;
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::vector<uint8_t> expected;
    uint32_t w = 0, h = 0;
    if (!decodePngRgba(bytes.str(), &expected, &w, &h)) return "expected picture does not decode";
    if (w != width || h != height) {
        return "size " + std::to_string(width) + "x" + std::to_string(height) + ", expected " + std::to_string(w) +
               "x" + std::to_string(h);
    }
    const size_t off = differingPixels(rgba, expected, tolerance);
    if (off > maxDiffering) {
        return std::to_string(off) + " pixels differ from " + expectedPath + " (see " + QV_BINARY_DIR + "/" + name +
               ")";
    }
    return std::string();
}

}  // namespace qvtest
