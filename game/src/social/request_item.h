#pragma once

#include <cstdint>
#include <string>

#include "social/check_list_item.h"

namespace AE {
class ISceneNode;
}
class CheckBoxListener;
struct FacebookRequest;

// One received request in the requests window; a click toggles its check.
class RequestItem : public CheckListItem {
public:
    RequestItem(CheckBoxListener* owner, const FacebookRequest& request);
    ~RequestItem() override = default;

    void refreshPhoto();
    // Applies the request to the main mode (a heart, or extra moves); saves nothing.
    void accept();
    uint64_t senderId;
    std::u16string senderName;
    std::string requestId;
    std::string type;
    int32_t value = 0;
    bool accepted = false;
};
