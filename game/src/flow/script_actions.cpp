#include "flow/script_actions.h"

#include <memory>

#include "format_string.h"
#include "flow/game_application.h"
#include "input_manager.h"
#include "lex_binded_function.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "flow/main_window.h"
#include "platform/scripted_input_source.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace {

QV::UIWidget* findShown(QV::UIWidget* widget, const std::string& id) {
    if (!widget || !widget->isShown() || !widget->isVisible()) return nullptr;
    if (widget->getName() == id) return widget;
    for (QV::UIWidget* child : widget->getChildren()) {
        if (QV::UIWidget* found = findShown(child, id)) return found;
    }
    return nullptr;
}

}  // namespace

QV::UIWidget* findTopmostShownWidget(const std::string& id) {
    QV::UIManager* ui = QV::Singleton<QV::UIManager>::instancePointer();
    if (!ui) return nullptr;
    const std::vector<QV::UIWidget*> shown = ui->getShownList();
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        if (QV::UIWidget* found = findShown(*it, id)) return found;
    }
    return nullptr;
}

bool clickShownWidget(const std::string& id) {
    QV::UIWidget* widget = findTopmostShownWidget(id);
    if (!widget) {
        QV::logLine(QV::formatString("ERROR: No shown widget '%s' to click", id.c_str()));
        return false;
    }
    widget->processMessage(QV::kUIMessageClick);
    return true;
}

bool runCommandLine(const std::string& commandLine) {
    QV::LexBindedFunctionManager* commands = QV::Singleton<QV::LexBindedFunctionManager>::instance();
    std::unique_ptr<QV::LexBindedFunction> function(commands->bindCommand(commandLine));
    if (!function) {
        QV::logLine(QV::formatString("ERROR: No command for '%s'", commandLine.c_str()));
        return false;
    }
    function->call();
    return true;
}

bool runScriptActions(int32_t frame, MainWindow& window, GameApplication* application) {
    QV::InputManager* input = QV::Singleton<QV::InputManager>::instancePointer();
    QV::Platform::ScriptedInputSource* script = input ? input->getScript() : nullptr;
    if (!script) return true;
    using Kind = QV::Platform::ScriptedInputSource::Action::Kind;
    for (const auto& action : script->takeActions(frame)) {
        switch (action.kind) {
            case Kind::Screenshot:
                application->requestScreenshot(action.text);
                break;
            case Kind::Close:
                return false;
            case Kind::FocusLost:
                window.setFocus(false);
                break;
            case Kind::FocusGained:
                window.setFocus(true);
                break;
            case Kind::Command:
                runCommandLine(action.text);
                break;
            case Kind::Button:
                clickShownWidget(action.text);
                break;
        }
    }
    return true;
}
