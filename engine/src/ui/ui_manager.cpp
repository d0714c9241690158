#include "ui/ui_manager.h"

#include <algorithm>

#include "function.h"
#include "lex_binded_function_manager.h"
#include "lex_binder.h"
#include "mutex_lock.h"
#include "sound_system/sound_manager.h"
#include "timer_manager.h"
#include "ui/ui_controller.h"
#include "ui/ui_widget.h"

namespace QV {

UIManager::UIManager() : mController(new UIPCController()) {
    initRecursiveMutex(&mMutex);
    if (LexBindedFunctionManager* lex = Singleton<LexBindedFunctionManager>::instancePointer()) {
        using Binder = LexBinder1<std::string, UIManager>;
        lex->registerBinder("hide", new Binder(this, &UIManager::hideWidget));
        lex->registerBinder("hideForcibly", new Binder(this, &UIManager::hideWidgetForcibly));
        lex->registerBinder("show", new Binder(this, &UIManager::showWidget));
        lex->registerBinder("showForcibly", new Binder(this, &UIManager::showWidgetForcibly));
    }
}

UIManager::~UIManager() {
    {
        MutexLock lock(&mMutex);
        mDestroying = true;
        std::vector<UIWidget*> roots;
        roots.swap(mRoots);
        for (UIWidget* root : roots) delete root;
        mShownList.clear();
        for (PendingCallbacks& entry : mPendingCallbacks) delete entry.owned;
        mPendingCallbacks.clear();
        mCapturedWidget = nullptr;
        delete mController;
        mController = nullptr;
        for (auto& entry : mComponentCreators) delete entry.second;
        mComponentCreators.clear();
    }
    pthread_mutex_destroy(&mMutex);
}

UIPCController* UIManager::getPCController() const { return dynamic_cast<UIPCController*>(mController); }

void UIManager::addRootWidget(UIWidget* widget) {
    if (!widget) return;
    MutexLock lock(&mMutex);
    // A tree embedded by a top-level description arrives here twice: keep one entry.
    if (std::find(mRoots.begin(), mRoots.end(), widget) != mRoots.end()) return;
    mRoots.push_back(widget);
    if (widget->mShown) bringToFront(widget);
}

void UIManager::bringToFront(UIWidget* widget) {
    if (!widget) return;
    MutexLock lock(&mMutex);
    if (widget->mMarkedForRemoval) return;
    removeFromShownList(widget);
    mShownList.push_back(widget);
    if (mController) mController->topWidgetChanged(widget);
    const std::vector<UIListener*> listeners = mListeners;
    for (UIListener* listener : listeners) listener->onWidgetShown(widget);
}

void UIManager::onWidgetHidden(UIWidget* widget) {
    MutexLock lock(&mMutex);
    if (mCapturedWidget && (mCapturedWidget == widget || widget->isAncestorOf(mCapturedWidget))) {
        mCapturedWidget = nullptr;
    }
    if (mController) mController->topWidgetChanged(getTopVisibleWidget());
    const std::vector<UIListener*> listeners = mListeners;
    for (UIListener* listener : listeners) listener->onWidgetHidden(widget);
}

UIWidget* UIManager::getTopVisibleWidget() {
    MutexLock lock(&mMutex);
    for (auto it = mShownList.rbegin(); it != mShownList.rend(); ++it) {
        if ((*it)->mShown) return *it;
    }
    return nullptr;
}

void UIManager::removeFromShownList(UIWidget* widget) {
    mShownList.erase(std::remove(mShownList.begin(), mShownList.end(), widget), mShownList.end());
}

void UIManager::deleteRoot(UIWidget* root) {
    mRoots.erase(std::remove(mRoots.begin(), mRoots.end(), root), mRoots.end());
    delete root;  // its destructor drops its subtree's entries of the shown list and the queue
    removeFromShownList(root);
}

int32_t UIManager::destroyWidget(UIWidget* widget) {
    if (!widget) return 1;
    MutexLock lock(&mMutex);
    const std::vector<UIListener*> listeners = mListeners;
    for (UIListener* listener : listeners) listener->onWidgetRemoved(widget);
    mCapturedWidget = nullptr;
    if (isRoot(widget)) {
        deleteRoot(widget);
        return 0;
    }
    // Not a root: detached from its parent by its destructor, so no dangling child.
    delete widget;
    return 1;
}

void UIManager::hideAllForcibly() {
    MutexLock lock(&mMutex);
    const std::vector<UIWidget*> roots = mRoots;
    for (UIWidget* root : roots) {
        if (isRoot(root)) root->hideForcibly();
    }
}

void UIManager::update() {
    float frameTime = 0.0f;
    if (TimerManager* timer = Singleton<TimerManager>::instancePointer()) frameTime = timer->getFrameDelta();
    update(frameTime);
}

void UIManager::update(float frameTime) {
    if (mController) mController->update();
    MutexLock lock(&mMutex);
    const float t = std::min(frameTime, 0.1f);
    const std::vector<UIWidget*> roots = mRoots;
    for (UIWidget* root : roots) {
        if (isRoot(root)) root->updateTree(t);
    }
    for (size_t i = 0; i < mRoots.size();) {
        UIWidget* root = mRoots[i];
        if (!root->mMarkedForRemoval) {
            ++i;
            continue;
        }
        const std::vector<UIListener*> listeners = mListeners;
        for (UIListener* listener : listeners) listener->onWidgetRemoved(root);
        mCapturedWidget = nullptr;
        deleteRoot(root);
    }
}

void UIManager::draw() {
    MutexLock lock(&mMutex);
    const std::vector<UIWidget*> shown = mShownList;
    for (UIWidget* widget : shown) widget->draw();
    for (UIWidget* root : mRoots) root->clearDrawnMarks();
    // Entries of trees that are not roots (drawn by their owners) are cleared too.
    for (UIWidget* widget : mShownList) widget->clearDrawnMarks();
}

bool UIManager::isAccessible(UIWidget* widget) {
    MutexLock lock(&mMutex);
    for (auto it = mShownList.rbegin(); it != mShownList.rend(); ++it) {
        UIWidget* entry = *it;
        if (!entry->mShown) continue;
        if (entry == widget || entry->isAncestorOf(widget)) return true;
        if (entry->mModal) return false;
    }
    return false;
}

void UIManager::queueCallbacks(UIWidget* owner, std::vector<IFunction*>* callbacks) {
    if (!callbacks) return;
    MutexLock lock(&mMutex);
    mPendingCallbacks.push_back({owner, callbacks, nullptr});
}

void UIManager::queueCall(UIWidget* owner, IFunction* call) {
    if (!call) return;
    MutexLock lock(&mMutex);
    mPendingCallbacks.push_back({owner, nullptr, call});
}

size_t UIManager::pendingCallbackCount() {
    MutexLock lock(&mMutex);
    return mPendingCallbacks.size();
}

void UIManager::runPendingCallbacks() {
    pthread_mutex_lock(&mMutex);
    UIWidget* outerOwner = mRunningOwner;
    const bool outerGone = mRunningOwnerGone;
    while (!mPendingCallbacks.empty()) {
        PendingCallbacks entry = mPendingCallbacks.front();
        mPendingCallbacks.pop_front();
        mRunningOwner = entry.owner;
        mRunningOwnerGone = false;
        pthread_mutex_unlock(&mMutex);
        if (entry.owned) {
            entry.owned->invoke();
            delete entry.owned;
        } else {
            // By index: a callback may connect more; stop when one deleted the list's widget.
            for (size_t i = 0; i < entry.callbacks->size(); ++i) {
                (*entry.callbacks)[i]->invoke();
                if (mRunningOwnerGone) break;
            }
        }
        pthread_mutex_lock(&mMutex);
    }
    mRunningOwner = outerOwner;
    mRunningOwnerGone = outerGone;
    pthread_mutex_unlock(&mMutex);
}

void UIManager::captureNonExclusive(UIWidget* widget) {
    MutexLock lock(&mMutex);
    if (mCapturedWidget) return;
    mCapturedWidget = widget;
    mExclusiveCapture = false;
}

void UIManager::releaseCapture(UIWidget* widget) {
    MutexLock lock(&mMutex);
    if (mCapturedWidget == widget) mCapturedWidget = nullptr;
}

void UIManager::releaseStaleCapture() {
    MutexLock lock(&mMutex);
    UIWidget* captured = mCapturedWidget;
    if (!captured) return;
    bool holds = captured->mShown;
    for (UIWidget* w = captured; w && holds; w = w->mParent) {
        holds = w->mEnabled && w->mVisible && !w->mMarkedForRemoval;
    }
    if (!holds) mCapturedWidget = nullptr;
}

void UIManager::playClickSound() {
    if (SoundManager* sound = Singleton<SoundManager>::instancePointer()) sound->playByName(mClickSound);
}

UIWidget* UIManager::findInRoots(const std::string& name) {
    for (UIWidget* root : mRoots) {
        if (UIWidget* found = root->findChild(name)) return found;
    }
    return nullptr;
}

void UIManager::showWidget(std::string name) {
    MutexLock lock(&mMutex);
    if (UIWidget* widget = findInRoots(name)) widget->show();
}

void UIManager::showWidgetForcibly(std::string name) {
    MutexLock lock(&mMutex);
    if (UIWidget* widget = findInRoots(name)) widget->showForcibly();
}

void UIManager::hideWidget(std::string name) {
    MutexLock lock(&mMutex);
    if (UIWidget* widget = findInRoots(name)) widget->hide();
}

void UIManager::hideWidgetForcibly(std::string name) {
    MutexLock lock(&mMutex);
    if (UIWidget* widget = findInRoots(name)) widget->hideForcibly();
}

void UIManager::addListener(UIListener* listener) {
    MutexLock lock(&mMutex);
    if (listener && std::find(mListeners.begin(), mListeners.end(), listener) == mListeners.end()) {
        mListeners.push_back(listener);
    }
}

void UIManager::removeListener(UIListener* listener) {
    MutexLock lock(&mMutex);
    mListeners.erase(std::remove(mListeners.begin(), mListeners.end(), listener), mListeners.end());
}

void UIManager::registerComponentCreator(const std::string& className, UIComponentCreator* creator) {
    MutexLock lock(&mMutex);
    if (mComponentCreators.count(className)) {
        delete creator;
        return;
    }
    mComponentCreators[className] = creator;
}

std::vector<UIWidget*> UIManager::getRoots() {
    MutexLock lock(&mMutex);
    return mRoots;
}

std::vector<UIWidget*> UIManager::getShownList() {
    MutexLock lock(&mMutex);
    return mShownList;
}

bool UIManager::isRoot(UIWidget* widget) {
    MutexLock lock(&mMutex);
    return std::find(mRoots.begin(), mRoots.end(), widget) != mRoots.end();
}

void UIManager::forgetWidget(UIWidget* widget) {
    MutexLock lock(&mMutex);
    if (mDestroying) return;
    if (mCapturedWidget == widget) mCapturedWidget = nullptr;
    removeFromShownList(widget);
    mRoots.erase(std::remove(mRoots.begin(), mRoots.end(), widget), mRoots.end());
    for (auto it = mPendingCallbacks.begin(); it != mPendingCallbacks.end();) {
        if (it->owner != widget) {
            ++it;
            continue;
        }
        delete it->owned;
        it = mPendingCallbacks.erase(it);
    }
    if (mRunningOwner == widget) mRunningOwnerGone = true;
}

}  // namespace QV
