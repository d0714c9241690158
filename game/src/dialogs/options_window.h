#pragma once

#include "dialogs/dialog_window.h"
#include "dialogs/dialog_window_listener.h"
#include "dialogs/scroll_bar_listener.h"
#include "singleton.h"

namespace AE {
class TextSceneNode;
}
class ResetQuestionWindow;
class ScrollBar;

// Full screen, the game's cursor, the volumes, and starting the game over
// behind a held confirmation. The one instance lives from game start to shut-down.
class OptionsWindow : public DialogWindow,
                      public QV::Singleton<OptionsWindow>,
                      public DialogWindowListener,
                      public ScrollBarListener {
public:
    OptionsWindow();
    ~OptionsWindow() override;

    // Fills the window from the profile and shows it queued.
    void open();
    void update(float dt) override;
    void onValueChanged(ScrollBar* bar, float value) override;
    // The reset question closed.
    void onWindowClosed(DialogWindow* window) override;

    void onResetClicked();
    void onAcceptClicked();
    void onCloseClicked();

    ScrollBar* mMusicBar = nullptr;  // owned
    ScrollBar* mSoundBar = nullptr;  // owned
    float mSavedMusicVolume = 0.0f;
    float mSavedSoundVolume = 0.0f;
    AE::TextSceneNode* mConnectText = nullptr;  // "#facebook_btn_text"
    ResetQuestionWindow* mResetWindow = nullptr;  // released with the window
};
