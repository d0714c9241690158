#include "exit_question_window.h"

ExitQuestionWindow::ExitQuestionWindow() : DialogWindow("exit_question_window_ui", "ExitQuestionWindow", "gui") {
    bindButton("btnYes", this, &ExitQuestionWindow::accept);
    bindButton("btnNo", this, &ExitQuestionWindow::reject);
}

void ExitQuestionWindow::accept() {
    if (mState != Shown) return;
    mResult = 0;
    hide();
}

void ExitQuestionWindow::reject() {
    if (mState != Shown) return;
    mResult = 1;
    hide();
}
