#include "flow/logo_game_state.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <pugixml.hpp>

#include "config_manager.h"
#include "file.h"
#include "file_system.h"
#include "format_string.h"
#include "flow/game_state_manager.h"
#include "image_png.h"
#include "input_manager.h"
#include "log_system.h"
#include "rect.h"
#include "render_system.h"
#include "report_assert.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "texture_manager.h"

namespace {

constexpr char kPackage[] = "default";

QV::SpriteManager<QV::Sprite>* spriteManager() { return QV::Singleton<QV::SpriteManager<QV::Sprite>>::instancePointer(); }

// A picture file that is a PNG the file table does not list by that name.
QV::Sprite* spriteFromPngFile(const std::string& file) {
    if (!QV::PngImage::isPngFile(file, kPackage)) return nullptr;
    auto* image = new QV::PngImage();
    if (image->load(file, kPackage) != 0) {
        delete image;
        return nullptr;
    }
    const uint32_t width = image->width();
    const uint32_t height = image->height();
    image->padToPowerOfTwo();
    QV::TextureManager* textures = QV::Singleton<QV::TextureManager>::instance();
    QV::Texture* texture = textures->createTextureFromImage(image, kPackage, file);
    if (!texture) return nullptr;
    QV::Sprite* sprite = spriteManager()->createSpriteFromTexture(texture);
    if (!sprite) return nullptr;
    sprite->setSrcRect(0, QV::Rect(0.0f, 0.0f, float(width), float(height)), true);
    sprite->updateTexCoords();
    sprite->setSize(QV::Vector2<float>(float(width), float(height)));
    return sprite;
}

}  // namespace

uint32_t parseLogoFlag(const char* text) {
    if (!text) return 0;
    while (std::isspace(static_cast<unsigned char>(*text))) ++text;
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (!std::isxdigit(static_cast<unsigned char>(*text)) || *text == '-' || *text == '+') return 0;
    return static_cast<uint32_t>(std::strtoul(text, nullptr, base));
}

bool parseLogoDescription(const char* text, size_t size, std::vector<LogoEntry>& entries) {
    entries.clear();
    pugi::xml_document document;
    if (!document.load_buffer(text, size)) return false;
    for (pugi::xml_node child : document.child("root").children()) {
        if (child.type() != pugi::node_element) continue;
        LogoEntry entry;
        entry.file = child.attribute("file").as_string();
        entry.table = child.attribute("table").as_string();
        entry.duration = static_cast<float>(std::strtod(child.attribute("duration").as_string("0"), nullptr));
        entry.skippable = parseLogoFlag(child.attribute("esc").as_string("0"));
        entries.push_back(entry);
    }
    return true;
}

LogoGameState::~LogoGameState() { unload(); }

void LogoGameState::setItems(std::vector<LogoItem> items) {
    mItems = std::move(items);
    setLoaded(true);
}

void LogoGameState::load() {
    if (isLoaded()) return;
    loadLogo();
    setLoaded(true);
}

void LogoGameState::loadLogo() {
    QV::FileSystem* files = QV::Singleton<QV::FileSystem>::instance();
    QV::File* file = files->open(kPackage, "logo_xml");
    if (!file) {
        QV::logLine("Failed to load logo.xml");
        return;
    }
    std::vector<char> bytes;
    QV::readWholeFile(*file, bytes);
    delete file;
    std::vector<LogoEntry> entries;
    if (!parseLogoDescription(bytes.data(), bytes.empty() ? 0 : bytes.size() - 1, entries))
        QV_FATAL("Failed to parse XML");

    const std::string language = QV::Singleton<QV::ConfigManager>::instance()->currentLanguage();
    mItems.assign(entries.size(), LogoItem());
    for (size_t i = 0; i < entries.size(); ++i) {
        const LogoEntry& entry = entries[i];
        LogoItem& item = mItems[i];
        if (!entry.table.empty()) {
            item.sprite = spriteManager()->createSprite(entry.file, entry.table, kPackage);
        } else if (files->hasFile(kPackage, entry.file)) {
            item.sprite = spriteManager()->createSpriteFromImage(entry.file, kPackage);
        } else if (files->hasFile(language, entry.file)) {
            item.sprite = spriteManager()->createSpriteFromImage(entry.file, language);
        } else if (QV::Sprite* sprite = spriteFromPngFile(entry.file)) {
            item.sprite = sprite;
        } else {
            QV::logLine(QV::formatString("ERROR: Logo picture '%s' not found", entry.file.c_str()));
            item.skippable = 1;
            continue;
        }
        item.duration = entry.duration;
        item.skippable = entry.skippable;
    }
}

void LogoGameState::unload() {
    if (!isLoaded()) return;
    QV::logLine("void LogoGameState::unload()");
    if (QV::SpriteManager<QV::Sprite>* sprites = spriteManager()) {
        for (LogoItem& item : mItems) sprites->destroySprite(item.sprite);
    }
    mItems.clear();
    setLoaded(false);
}

void LogoGameState::onDeactivate() {
    QV::logLine("void LogoGameState::onDeactivate()");
    if (QV::RenderSystem* render = QV::Singleton<QV::RenderSystem>::instancePointer()) render->setFade(1.0f);
    unload();
}

bool LogoGameState::clickedThisPoll() const {
    QV::InputManager* input = QV::Singleton<QV::InputManager>::instancePointer();
    const QV::MouseDevice* mouse = input ? input->getMouse() : nullptr;
    return mouse && (mouse->isLeftPressed() || mouse->isRightPressed());
}

void LogoGameState::checkSkip() {
    if (!clickedThisPoll()) return;
    if (isLoaded() && !mItems.empty() && mCurrentIndex < mItems.size() && mItems[mCurrentIndex].skippable != 0)
        ++mCurrentIndex;
}

void LogoGameState::update(float dt) {
    if (!isLoaded()) return;
    checkSkip();
    if (!mItems.empty() && mCurrentIndex < mItems.size()) {
        LogoItem& item = mItems[mCurrentIndex];
        item.elapsed += dt;
        if (item.elapsed > item.duration) ++mCurrentIndex;
    }
    if (mItems.empty() || mCurrentIndex >= mItems.size()) {
        if (GameStateManager* states = QV::Singleton<GameStateManager>::instancePointer()) states->setState("MainMenu");
    }
}

float LogoGameState::fadeFor(float elapsed, float duration) {
    return std::min(elapsed, 1.0f) * std::min(duration - elapsed, 1.0f);
}

void LogoGameState::render() {
    if (!isLoaded() || mItems.empty() || mCurrentIndex >= mItems.size()) return;
    QV::RenderSystem* render = QV::Singleton<QV::RenderSystem>::instance();
    LogoItem& item = mItems[mCurrentIndex];
    const QV::Vector2<float> design = QV::Singleton<GameStateManager>::instance()->getDesignScreenSize();
    if (QV::Sprite* sprite = item.sprite) {
        const QV::Vector2<float> size = sprite->getSize();
        if (size.x > 0.0f && size.y > 0.0f) {
            const float scale = std::max(design.x, design.y) / size.x;
            sprite->setScale(scale, scale);
            sprite->setPosition(design.x / 2 - scale * size.x / 2, design.y / 2 - scale * size.y / 2);
            sprite->updateVertices();
            sprite->draw();
        } else if (!item.reported) {
            item.reported = true;
            QV::logLine(QV::formatString("ERROR: Logo picture %u has no size", mCurrentIndex));
        }
    }
    render->setFade(std::max(0.0f, fadeFor(item.elapsed, item.duration)));
}
