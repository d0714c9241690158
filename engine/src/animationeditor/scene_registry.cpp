#include "animationeditor/scene_registry.h"

#include <pthread.h>

#include <algorithm>
#include <cstdio>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_xml_reader.h"
#include "log_system.h"
#include "mutex_lock.h"

namespace AE {

int contentVersion = 0;

namespace {

// Scenes are built on job threads while the main thread deletes others.
pthread_mutex_t gSceneListMutex = PTHREAD_MUTEX_INITIALIZER;
std::vector<ISceneNode*> gLiveScenes;
std::vector<SceneLoadListener*> gLoadListeners;
SceneLoaderFunction gLoader = nullptr;

}  // namespace

void addSceneLoadListener(SceneLoadListener* listener) {
    QV::MutexLock lock(&gSceneListMutex);
    gLoadListeners.push_back(listener);
}

void removeSceneLoadListener(SceneLoadListener* listener) {
    QV::MutexLock lock(&gSceneListMutex);
    auto it = std::find(gLoadListeners.begin(), gLoadListeners.end(), listener);
    if (it != gLoadListeners.end()) gLoadListeners.erase(it);
}

void setSceneLoader(SceneLoaderFunction loader) {
    QV::MutexLock lock(&gSceneListMutex);
    gLoader = loader;
}

ISceneNode* loadScene(const std::string& name) {
    SceneLoaderFunction loader;
    {
        QV::MutexLock lock(&gSceneListMutex);
        loader = gLoader;
    }
    // Without a loader of its own the runtime reads scene XML.
    ISceneNode* root = loader ? loader(name) : loadSceneXml(name);
    if (!root) return nullptr;
    std::vector<SceneLoadListener*> listeners;
    {
        QV::MutexLock lock(&gSceneListMutex);
        listeners = gLoadListeners;
    }
    for (SceneLoadListener* listener : listeners) listener->onSceneLoaded(root);
    return root;
}

void registerLiveScene(ISceneNode* root) {
    QV::MutexLock lock(&gSceneListMutex);
    gLiveScenes.push_back(root);
}

void unregisterLiveScene(ISceneNode* root) {
    QV::MutexLock lock(&gSceneListMutex);
    auto it = std::find(gLiveScenes.begin(), gLiveScenes.end(), root);
    if (it != gLiveScenes.end()) gLiveScenes.erase(it);
}

std::vector<ISceneNode*> liveScenes() {
    QV::MutexLock lock(&gSceneListMutex);
    return gLiveScenes;
}

void dumpScenes() {
    // The names are read under the lock: another thread may delete a scene
    // as soon as it is released.
    std::string text = "----------------SCENES DUMP\n";
    {
        QV::MutexLock lock(&gSceneListMutex);
        for (ISceneNode* root : gLiveScenes) text += "--SCENE " + root->mName + "\n";
    }
    text += "----------------SCENES DUMP END\n";
    FILE* file = std::fopen(QV::kLogFileName, "a");
    if (!file) return;
    std::fputs(text.c_str(), file);
    std::fclose(file);
}

}  // namespace AE
