#pragma once

#include <string>
#include <vector>

namespace AE {

class ISceneNode;

// Scene-runtime-wide setting, 0 unless the application sets it (the game sets
// 1): above 0, play ranges loop and sprite nodes take their sprites from the
// cached XML sprite descriptions.
extern int contentVersion;

// Told of every root that loadScene returns.
class SceneLoadListener {
public:
    virtual ~SceneLoadListener() = default;
    virtual void onSceneLoaded(ISceneNode* root) = 0;
};
void addSceneLoadListener(SceneLoadListener* listener);
void removeSceneLoadListener(SceneLoadListener* listener);

// What builds a tree from a scene resource of package "default"; null on
// failure. Null (the default) means the scene XML loader.
using SceneLoaderFunction = ISceneNode* (*)(const std::string& name);
void setSceneLoader(SceneLoaderFunction loader);

// A new root loaded from the scene resource, owned by the caller; null when it
// cannot be loaded (no fatal error).
ISceneNode* loadScene(const std::string& name);

// The live-scene list: every root the loader built and that still exists.
void registerLiveScene(ISceneNode* root);
void unregisterLiveScene(ISceneNode* root);
std::vector<ISceneNode*> liveScenes();

// Appends the names of the live scenes to "QV.log".
void dumpScenes();

}  // namespace AE
