// Widget classes beyond the basic ones.
#include "lua_script2.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace QV {

UIWidget* UIManager::createExtraClass(const std::string&, const std::string&, UIWidget*, LuaScript2&) {
    return nullptr;
}

void UIManager::createClassParts(UIWidget*, LuaScript2&) {}

}  // namespace QV
