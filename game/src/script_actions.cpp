#include "script_actions.h"

#include <memory>

#include "format_string.h"
#include "game_application.h"
#include "input_manager.h"
#include "lex_binded_function.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "main_window.h"
#include "platform/scripted_input_source.h"

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
                application->clickButton(action.text);
                break;
        }
    }
    return true;
}
