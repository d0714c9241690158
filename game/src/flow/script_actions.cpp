#include "flow/script_actions.h"

#include <memory>

#include <sstream>
#include <vector>

#include "board/game_field.h"
#include "format_string.h"
#include "flow/game_application.h"
#include "flow/game_level.h"
#include "flow/game_state_manager.h"
#include "render_system.h"
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

namespace {

// The window point over the centre of a cell of the shown level's board.
bool cellPoint(int column, int row, int32_t* x, int32_t* y) {
    GameStateManager* states = GameStateManager::instancePointer();
    auto* level = states ? static_cast<GameLevel*>(states->getGameLevel()) : nullptr;
    if (!level || states->getCurrentState() != level || !level->isLoaded() || !level->getField()) return false;
    const float size = static_cast<float>(level->getField()->cellSize);
    const QV::Vector2<float> origin = level->fieldOrigin();
    float px = origin.x + (static_cast<float>(column) + 0.5f) * size;
    float py = origin.y + (static_cast<float>(row) + 0.5f) * size;
    if (QV::RenderSystem* render = QV::RenderSystem::instancePointer()) {
        QV::Vector2<float> fitSize, fitOffset;
        float fitScale = 1.0f;
        render->getWorkspaceFit(fitSize, fitOffset, fitScale);
        if (fitScale > 0.0f) {
            px = px * fitScale + fitOffset.x;
            py = py * fitScale + fitOffset.y;
        }
    }
    *x = static_cast<int32_t>(px);
    *y = static_cast<int32_t>(py);
    return true;
}

// A click on a cell, or a drag from one cell to another, over the next frames.
void scheduleCells(QV::Platform::ScriptedInputSource& script, int32_t frame, bool swap, const std::string& text) {
    std::istringstream in(text);
    std::vector<int> n;
    for (int value; in >> value;) n.push_back(value);
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!cellPoint(n[0], n[1], &x1, &y1) || (swap && !cellPoint(n[2], n[3], &x2, &y2))) {
        QV::logLine(QV::formatString("ERROR: No level is shown for the script line '%d %s %s'", frame,
                                     swap ? "swap" : "cell", text.c_str()));
        return;
    }
    using Button = QV::Platform::ScriptedInputSource::Button;
    if (!swap) {
        script.click(frame + 1, x1, y1);
        return;
    }
    script.moveMouse(frame + 1, x1, y1);
    script.pressButton(frame + 1, Button::Left);
    script.moveMouse(frame + 3, x2, y2);
    script.releaseButton(frame + 5, Button::Left);
}

}  // namespace

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
            case Kind::Cell:
            case Kind::Swap:
                scheduleCells(*script, frame, action.kind == Kind::Swap, action.text);
                break;
        }
    }
    return true;
}
