#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flow/game_state.h"

namespace QV {
class Sprite;
}

// One splash picture of the logo sequence.
struct LogoItem {
    QV::Sprite* sprite = nullptr;  // owned through the sprite manager; may be null
    float duration = 0.0f;         // seconds on screen
    uint32_t skippable = 0;        // non-zero: a click moves on
    float elapsed = 0.0f;
    bool reported = false;         // a picture without size was logged once
};

// One element of "logo_xml" as written.
struct LogoEntry {
    std::string file;
    std::string table;
    float duration = 0.0f;
    uint32_t skippable = 0;
};

// Reads the children of "root" in document order; false when the text is not XML.
bool parseLogoDescription(const char* text, size_t size, std::vector<LogoEntry>& entries);
// The "esc" attribute: decimal, or hexadecimal after "0x"; 0 for anything else.
uint32_t parseLogoFlag(const char* text);

// The splash pictures shown at start-up, then the main menu. Loads on the main thread.
class LogoGameState : public IGameState {
public:
    LogoGameState() = default;
    ~LogoGameState() override;

    void load() override;
    void unload() override;
    void update(float dt) override;
    void render() override;
    void onDeactivate() override;
    std::string getName() const override { return "LogoGameState"; }

    // The items as loaded (tests give their own, without pictures).
    void setItems(std::vector<LogoItem> items);
    const std::vector<LogoItem>& items() const { return mItems; }
    uint32_t currentIndex() const { return mCurrentIndex; }

    // The render system's fade for an item: in over its first second, out over its last.
    static float fadeFor(float elapsed, float duration);

private:
    void loadLogo();
    void checkSkip();
    bool clickedThisPoll() const;

    std::vector<LogoItem> mItems;
    uint32_t mCurrentIndex = 0;
};
