#include "dialogs/reset_question_window.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "dialogs/window_nodes.h"
#include "format_string.h"
#include "input_manager.h"

namespace {

constexpr float kSlack = 0.001f;

}  // namespace

ResetQuestionWindow::ResetQuestionWindow() : DialogWindow("reset_question_window_ui", "ResetQuestionWindow", "gui") {
    bindButton("btnReject", static_cast<DialogWindow*>(this), &DialogWindow::hide);
    mAcceptNode = mScene ? mScene->findNode("btnAccept") : nullptr;
    mTimerText = window_nodes::text(mScene, "#timer");
}

void ResetQuestionWindow::show(bool queued) {
    mResult = 1;
    mHolding = 0;
    mHeldSeconds = 0.0f;
    DialogWindow::show(queued);
    window_nodes::enable(mTimerText, false);
}

void ResetQuestionWindow::showCount(int count) {
    window_nodes::setText(mTimerText, QV::formatString("%d", count), false);
}

void ResetQuestionWindow::update(float dt) {
    QV::InputManager* input = QV::InputManager::instancePointer();
    if (!input) return;
    const QV::Vector2<int> mouse = input->getMousePosition();
    if (input->isMousePressed()) {
        if (mAcceptNode && mAcceptNode->hitTest(mouse.x, mouse.y, true)) {
            mHolding = 1;
            mHeldSeconds = 0.0f;
            window_nodes::enable(mTimerText, true);
            showCount(static_cast<int>(kHoldSeconds));
        }
        return;
    }
    if (!mHolding) return;
    if (input->isMouseReleased()) {
        window_nodes::enable(mTimerText, false);
        mHolding = 0;
        return;
    }
    mHeldSeconds += std::max(dt, 0.0f);
    // Summed frame times fall a hair short of whole seconds (ten 0.1 s frames
    // make 0.99999994): a millisecond's slack keeps the count on the frame.
    const float held = mHeldSeconds + kSlack;
    showCount(std::max(static_cast<int>(kHoldSeconds) - static_cast<int>(held), 0));
    if (held >= kHoldSeconds) {
        mHolding = 0;
        mResult = 0;
        hide();
    }
}
