#include "flow/mode_factory.h"

#include "flow/main_mode.h"
#include "report_assert.h"

Mode* createMode(const std::string& className, const std::map<std::string, std::string>& params) {
    if (className != "MainMode") return nullptr;
    const auto suffix = params.find("suffix");
    if (suffix == params.end())
        QV_FATAL("The \"MainMode\" entry of \"platform_config_lua\" has no \"suffix\" parameter");
    return new MainMode(suffix->second);
}
