#include "social/facebook_request_wnd.h"

#include "social/facebook_integration.h"
#include "social/facebook_message.h"
#include "social/request_item.h"
#include "ui/ui_scene_list.h"

FacebookRequestWnd::FacebookRequestWnd() : CheckListWindow("requests_wnd_ui", "RequestsWnd") {
    bindButton("btnOk", this, &FacebookRequestWnd::acceptSelected);
}

void FacebookRequestWnd::setRequests(const std::vector<FacebookRequest>& requests) {
    deleteItems();
    FacebookIntegration* fb = FacebookIntegration::instancePointer();
    if (!list || !fb) return;
    for (const FacebookRequest& request : requests)
        if (fb->findUser(request.senderId)) list->addItem(new RequestItem(this, request));
}

void FacebookRequestWnd::acceptSelected() {
    for (size_t i = 0; i < itemCount();) {
        auto* item = dynamic_cast<RequestItem*>(itemAt(i));
        if (item && item->isChecked()) {
            item->accept();
            if (item->accepted) {
                list->removeItem(item);
                delete item;
                continue;
            }
        }
        ++i;
    }
    hide();
}

void FacebookRequestWnd::refreshPhotos() {
    FacebookIntegration* fb = FacebookIntegration::instancePointer();
    if (!fb || !fb->sessionOpen) {
        deleteItems();
        return;
    }
    for (size_t i = 0; i < itemCount(); ++i)
        if (auto* item = dynamic_cast<RequestItem*>(itemAt(i))) item->refreshPhoto();
}
