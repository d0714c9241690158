#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace AE {

class IFrameData;
class ISceneNode;
class SceneXmlReader;

// Told when a "ParticleFX" object names an effect that cannot be created.
class MissingEffectListener {
public:
    virtual ~MissingEffectListener() = default;
    virtual void onMissingEffect(SceneXmlReader& reader, const std::string& effectName) = 0;
};

// Builds a scene tree from an animation-editor XML file: one node per
// "Object" of the kind named by its "type", with its start parameters, key
// frames, children and markers. One reader per load.
class SceneXmlReader {
public:
    // The scene resource of package "default", else a file of that path on
    // disk. `root` null: a new root named after the resource. False when
    // neither opens or the text is not well-formed XML (root unchanged).
    bool load(ISceneNode*& root, const std::string& name);
    // The same over scene text already in memory.
    bool loadFromMemory(ISceneNode*& root, const std::string& name, const void* data, size_t size);

    ISceneNode* readObject(ISceneNode* parent, pugi::xml_node object);
    // The key fields every kind shares: position, pivot, angle, scale with their curves, colour.
    static void readCommonFrameKeys(pugi::xml_node attributes, IFrameData& data);
    void readFrameKeys(pugi::xml_node attributes, ISceneNode* node, int frame);
    void readMarkers(pugi::xml_node element, ISceneNode* owner);
    void readMarker(pugi::xml_node marker, ISceneNode* owner);

    ISceneNode* readPlainObject(pugi::xml_node object);
    ISceneNode* readSpriteObject(pugi::xml_node object);
    ISceneNode* readTextObject(pugi::xml_node object);
    ISceneNode* readParticleObject(pugi::xml_node object);
    ISceneNode* readCameraObject(pugi::xml_node object);
    ISceneNode* readSoundObject(pugi::xml_node object);

    std::vector<MissingEffectListener*> mMissingEffectListeners;  // not owned

    // Objects nested deeper than this are skipped: every walk of a tree
    // recurses, so a damaged file must not be able to exhaust the stack.
    static constexpr int kMaxObjectDepth = 256;

private:
    bool build(ISceneNode*& root, const std::string& name);

    pugi::xml_document mDocument;
    std::string mName;
    int mDepth = 0;
    bool mDepthReported = false;
};

// The loader that loadScene uses: a new tree, or null.
ISceneNode* loadSceneXml(const std::string& name);

}  // namespace AE
