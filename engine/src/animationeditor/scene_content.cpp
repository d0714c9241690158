#include "animationeditor/scene_content.h"

#include "config_manager.h"
#include "file_system.h"

namespace AE {

std::string currentLanguagePackage() {
    QV::ConfigManager* config = QV::Singleton<QV::ConfigManager>::instancePointer();
    if (!config || config->currentLanguage().empty()) return "default";
    return config->currentLanguage();
}

std::string packageHolding(const std::string& name) {
    const std::string language = currentLanguagePackage();
    QV::FileSystem* files = QV::Singleton<QV::FileSystem>::instancePointer();
    if (files && files->hasFile(language, name)) return language;
    return "default";
}

}  // namespace AE
