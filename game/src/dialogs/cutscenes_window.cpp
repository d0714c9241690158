#include "dialogs/cutscenes_window.h"

CutscenesWindow::CutscenesWindow() : DialogWindow("authors_window_ui", "AuthorsWindow", "gui") {
    bindButton("btnClose", static_cast<DialogWindow*>(this), &DialogWindow::hide);
}
