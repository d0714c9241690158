#pragma once

#include <vector>

#include "ui/ui_widget.h"

namespace QV {

// Fires its "clicked" callbacks on a press and a release inside itself.
class UIButton : public UIWidget {
public:
    using UIWidget::UIWidget;
    ~UIButton() override;

    // Keeps callbacks of "clicked" (each pointer once); deletes any other.
    void connect(const std::string& event, IFunction* callback) override;
    int32_t processMessage(int32_t message) override;
    int32_t getType() const override { return kUIButton; }

    // Queues the callbacks and plays the click sound, as a click does.
    void click();
    const std::vector<IFunction*>& getClickedCallbacks() const { return mClickedCallbacks; }

private:
    std::vector<IFunction*> mClickedCallbacks;  // owned
};

// Toggles its checked flag on a release inside itself and shows its thumb while checked.
class UICheckBox : public UIWidget {
public:
    using UIWidget::UIWidget;

    int32_t processMessage(int32_t message) override;
    int32_t getType() const override { return kUICheckBox; }
    void update(float frameTime) override;
    void load(LuaScript2& script) override;

    bool isChecked() const { return mChecked; }
    void setChecked(bool checked) { mChecked = checked; }

    bool mChecked = false;
    std::string mThumbName;
    UIWidget* mThumb = nullptr;
    bool mThumbResolved = false;
};

}  // namespace QV
