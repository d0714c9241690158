#include "social/help_random_friends_wnd.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "animationeditor/scene_node.h"
#include "mutex_lock.h"
#include "singleton.h"
#include "social/facebook_integration.h"
#include "social/help_item.h"
#include "social/request_payload.h"
#include "ui/text_manager.h"
#include "ui/ui_scene_list.h"
#include "ui/wide_string.h"

namespace {
constexpr size_t kMaxOffered = 5;
}

HelpRandomFriendsWnd::HelpRandomFriendsWnd() : CheckListWindow("help_random_friends_wnd_ui", "HelpRandomFriendsWnd") {
    bindButton("btnOk", this, &HelpRandomFriendsWnd::sendStepsRequest);
}

void HelpRandomFriendsWnd::open() {
    std::vector<FacebookUser*> candidates;
    if (FacebookIntegration* fb = FacebookIntegration::instancePointer()) {
        QV::MutexLock userLock(&fb->user.mutex);
        QV::MutexLock listLock(&fb->friendsMutex);
        for (FacebookUser* record : fb->friends)
            if (record->playsGame) candidates.push_back(record);
    }
    deleteItems();
    if (!list) return;
    const size_t count = std::min(candidates.size(), kMaxOffered);
    for (size_t i = 0; i < count; ++i) {
        const size_t pick = size_t(std::rand()) % candidates.size();
        list->addItem(new HelpItem(this, candidates[pick]));
        candidates.erase(candidates.begin() + long(pick));
    }
    if (itemCount() == 0) return;
    if (selectAllNode) selectAllNode->setEnabled(true);
    show(true);
}

void HelpRandomFriendsWnd::sendStepsRequest() {
    recipients.clear();
    for (size_t i = 0; i < itemCount(); ++i) {
        auto* item = dynamic_cast<HelpItem*>(itemAt(i));
        if (!item || !item->isChecked() || !item->user) continue;
        if (!recipients.empty()) recipients += ",";
        recipients += item->user->idText;
    }
    requestData = makeRequestData("takeSteps");
    const QV::TextManager* texts = QV::Singleton<QV::TextManager>::instancePointer();
    requestText = texts ? QV::toNarrow(texts->translate("SEND_STEPS_REQUEST_TEXT")) : std::string();
    hide();
}

void HelpRandomFriendsWnd::refreshPhotos() {
    FacebookIntegration* fb = FacebookIntegration::instancePointer();
    if (!fb || !fb->sessionOpen) {
        deleteItems();
        return;
    }
    for (size_t i = 0; i < itemCount(); ++i)
        if (auto* item = dynamic_cast<HelpItem*>(itemAt(i))) item->refreshPhoto();
}
