#pragma once

#include <pthread.h>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "singleton.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}

namespace QV {

class IFunction;
class UIState;
class LuaScript2;
class UIComponent;
class UIController;
class UIPCController;
class UIWidget;

// Told about shown, hidden and removed widgets.
class UIListener {
public:
    virtual ~UIListener() = default;
    virtual void onWidgetShown(UIWidget*) {}
    virtual void onWidgetHidden(UIWidget*) {}
    virtual void onWidgetRemoved(UIWidget*) {}
};

// Makes the components named in descriptions ("components").
class UIComponentCreator {
public:
    virtual ~UIComponentCreator() = default;
    virtual UIComponent* create() = 0;
};

// Owns every widget tree, the z-ordered list of shown trees, the input
// controller and the queue of callbacks that widgets fire during a delivery.
// A recursive mutex guards the lists: trees are built on loading jobs.
class UIManager : public Singleton<UIManager> {
public:
    UIManager();
    ~UIManager() override;

    // Descriptions (a tree loaded without a parent becomes a root).
    UIWidget* loadUI(const std::string& script, const std::string& table, UIWidget* parent,
                     const std::string& package);
    UIWidget* createWidget(LuaScript2& script, UIWidget* parent);
    static void loadWidgetProperties(UIWidget* widget, LuaScript2& script);
    static void loadSpriteKeys(UIWidget* widget, LuaScript2& script);
    static void loadLabelKeys(UIWidget* widget, LuaScript2& script);
    static void loadProgressBarKeys(UIWidget* widget, LuaScript2& script);
    static void loadCheckBoxKeys(UIWidget* widget, LuaScript2& script);
    static void loadScrollAreaKeys(UIWidget* widget, LuaScript2& script);
    static void loadTextEditKeys(UIWidget* widget, LuaScript2& script);
    static void loadListViewKeys(UIWidget* widget, LuaScript2& script);

    void addRootWidget(UIWidget* widget);
    void bringToFront(UIWidget* widget);
    UIWidget* getTopVisibleWidget();
    // Deletes a root (0); a non-root is detached from its parent and deleted (1); null gives 1.
    int32_t destroyWidget(UIWidget* widget);
    void hideAllForcibly();

    // One UI frame with the timer's frame time.
    void update();
    // One UI frame: input and callbacks, the roots' updates (time capped at 0.1 s), removals.
    void update(float frameTime);
    void draw();

    bool isAccessible(UIWidget* widget);
    // Queues a widget's callback list (the widget keeps owning it).
    void queueCallbacks(UIWidget* owner, std::vector<IFunction*>* callbacks);
    // Queues one call that the queue owns: run once, then deleted (dropped unrun with its widget).
    void queueCall(UIWidget* owner, IFunction* call);
    void runPendingCallbacks();
    size_t pendingCallbackCount();

    UIWidget* getCapturedWidget() const { return mCapturedWidget; }
    void setCapturedWidget(UIWidget* widget) { mCapturedWidget = widget; }
    bool isExclusiveCapture() const { return mExclusiveCapture; }
    void setExclusiveCapture(bool exclusive) { mExclusiveCapture = exclusive; }
    // Takes the capture with exclusive capture off when nobody holds it.
    void captureNonExclusive(UIWidget* widget);
    // Gives the capture back when this widget holds it.
    void releaseCapture(UIWidget* widget);
    // A captured widget that was disabled, hidden or marked for removal lets go.
    void releaseStaleCapture();

    const std::string& getClickSound() const { return mClickSound; }
    void setClickSound(const std::string& sound) { mClickSound = sound; }
    void playClickSound();

    void showWidget(std::string name);
    void showWidgetForcibly(std::string name);
    void hideWidget(std::string name);
    void hideWidgetForcibly(std::string name);

    void addListener(UIListener* listener);
    void removeListener(UIListener* listener);
    // Takes the creator; the first registration of a name wins.
    void registerComponentCreator(const std::string& className, UIComponentCreator* creator);

    UIController* getController() const { return mController; }
    UIPCController* getPCController() const;
    // Copies: the lists change while callbacks run.
    std::vector<UIWidget*> getRoots();
    std::vector<UIWidget*> getShownList();
    bool isRoot(UIWidget* widget);
    pthread_mutex_t* mutex() { return &mMutex; }

    // Called by every widget's destructor: drops every reference to it.
    void forgetWidget(UIWidget* widget);
    // Called by hide: the controller and the listeners hear of it.
    void onWidgetHidden(UIWidget* widget);

private:
    struct PendingCallbacks {
        UIWidget* owner;
        std::vector<IFunction*>* callbacks;
        IFunction* owned;
    };

    UIWidget* findInRoots(const std::string& name);
    void removeFromShownList(UIWidget* widget);
    void deleteRoot(UIWidget* root);
    // createWidget's work, inside its nesting count.
    UIWidget* buildWidget(LuaScript2& script, UIWidget* parent);
    void createStates(UIWidget* widget, LuaScript2& script);
    void createState(UIWidget* owner, LuaScript2& script, UIState* state);
    void createEvents(UIWidget* widget, LuaScript2& script);
    void connectCommand(UIWidget* element, const std::string& slot, const std::string& command);
    void createComponents(UIWidget* widget, LuaScript2& script);
    void createCaption(UIWidget* widget, LuaScript2& script);
    UIWidget* createByClass(const std::string& className, const std::string& id, UIWidget* parent,
                            LuaScript2& script);
    // The classes of lists, scroll areas and text fields; null for an unknown name.
    UIWidget* createExtraClass(const std::string& className, const std::string& id, UIWidget* parent,
                               LuaScript2& script);
    // The parts a class adds after its children exist (a list view's scroll area).
    void createClassParts(UIWidget* widget, LuaScript2& script);
    AE::ISceneNode* resolveSceneNode(const std::string& scene, UIWidget* parent, bool* owns);
    // "script:table" of the description being built, for error messages.
    std::string loadingName();

    std::vector<UIWidget*> mRoots;
    std::vector<UIWidget*> mShownList;
    UIController* mController;
    std::deque<PendingCallbacks> mPendingCallbacks;
    UIWidget* mCapturedWidget = nullptr;
    bool mExclusiveCapture = true;
    std::string mClickSound = "button_clicked_sound";
    pthread_mutex_t mMutex;
    std::vector<UIListener*> mListeners;
    std::map<std::string, UIComponentCreator*> mComponentCreators;

    // The list whose callbacks run now, and whether its widget died meanwhile.
    UIWidget* mRunningOwner = nullptr;
    bool mRunningOwnerGone = false;
    bool mDestroying = false;
    // What one thread is loading: the chain of descriptions ("script:table"),
    // each embedding or relating to the next, and the widget nesting depth.
    struct LoadingChain {
        std::vector<std::string> names;
        std::vector<std::string> keys;  // with the package, to find a repeat
        int32_t depth = 0;
    };
    // Trees load on several job threads at once: one chain each.
    std::map<std::thread::id, LoadingChain> mLoading;
};

// Widgets nest at most this deep in one tree, embedded descriptions included.
constexpr int32_t kMaxUINesting = 256;

}  // namespace QV
