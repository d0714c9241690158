#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace QV::Platform {

namespace {

bool envSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value && std::strcmp(value, "0") != 0;
}

}  // namespace

bool messageBoxesInteractive() {
    if (envSet("QV_NO_MESSAGE_BOX") || std::getenv("QV_MESSAGE_BOX_ANSWER")) return false;
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) return false;
    return envSet("DISPLAY") || envSet("WAYLAND_DISPLAY");
}

MessageBoxAnswer showOkCancelBox(const std::string& caption, const std::string& text, MessageBoxIcon icon) {
    std::fflush(stdout);
    if (!messageBoxesInteractive()) {
        std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
        std::fflush(stderr);
        const char* answer = std::getenv("QV_MESSAGE_BOX_ANSWER");
        if (answer && (std::strcmp(answer, "ok") == 0 || std::strcmp(answer, "OK") == 0)) return MessageBoxAnswer::Ok;
        return MessageBoxAnswer::Cancel;
    }
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 2, "Cancel"},
    };
    SDL_MessageBoxData data{};
    data.flags = icon == MessageBoxIcon::Error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    data.window = nullptr;
    data.title = caption.c_str();
    data.message = text.c_str();
    data.numbuttons = 2;
    data.buttons = buttons;
    int pressed = 2;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
        return MessageBoxAnswer::Cancel;
    }
    return pressed == 1 ? MessageBoxAnswer::Ok : MessageBoxAnswer::Cancel;
}

}  // namespace QV::Platform
