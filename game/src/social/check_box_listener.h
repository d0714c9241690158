#pragma once

// Told by a list item when its check mark changes (true = selected).
class CheckBoxListener {
public:
    virtual ~CheckBoxListener() = default;
    virtual void onCheckChanged(bool checked) = 0;
};
