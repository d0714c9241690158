#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "color.h"
#include "singleton.h"

namespace QV {

class UIFont;

// Named text settings read from a preset script of the font package.
struct FontPreset {
    float xcoeff = 0.0f;
    float ycoeff = 0.0f;
    int32_t halign = 0;
    int32_t valign = 0;
    bool wordWrap = false;
    // One reference from UIFontManager::getFont, released by the preset's user.
    UIFont* font = nullptr;
    Color color;
};

// Shares the user-interface fonts by name with reference counts, and knows
// the package that holds the current language's fonts and presets. Takes no
// lock: loading jobs and the main thread never ask at the same time.
class UIFontManager : public Singleton<UIFontManager> {
public:
    UIFontManager() = default;
    // Deletes every font still held, whatever its count.
    ~UIFontManager() override;

    // The font of that name, loaded on first request; one more reference.
    // Null for an empty name.
    UIFont* getFont(const std::string& name);
    // One reference less; the last one deletes the font. Unknown pointers are ignored.
    void releaseFont(UIFont* font);
    // From "font_settings_xml" of the current language, decided once per run;
    // "default" without that file.
    const std::string& fontPackage();
    // 0 when the table was read into the preset, 1 when the preset is null or
    // the script or table is missing.
    int32_t loadPreset(FontPreset* preset, const std::string& tableName, const std::string& scriptName);

    size_t fontCount() const { return mFonts.size(); }

private:
    std::map<std::string, UIFont*> mFonts;
    std::string mFontPackage;
    bool mPackageKnown = false;
};

}  // namespace QV
