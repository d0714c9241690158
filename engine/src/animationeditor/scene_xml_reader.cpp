#include "animationeditor/scene_xml_reader.h"

#include <memory>

#include "animationeditor/frame_data.h"
#include "animationeditor/marker.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/particle_scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/sound_scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "file.h"
#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "ui/wide_string.h"

namespace AE {

namespace {

float attrFloat(pugi::xml_node e, const char* name) { return e.attribute(name).as_float(0.0f); }
int attrInt(pugi::xml_node e, const char* name) { return e.attribute(name).as_int(0); }
bool attrBool(pugi::xml_node e, const char* name) { return e.attribute(name).as_bool(false); }
bool has(pugi::xml_node e, const char* name) { return static_cast<bool>(e.attribute(name)); }

QV::Color attrColor(pugi::xml_node e) {
    return QV::Color(attrFloat(e, "R"), attrFloat(e, "G"), attrFloat(e, "B"), attrFloat(e, "A"));
}

// The four shear entries; each absent one reads 0.
QV::Matrix3 attrShear(pugi::xml_node e) {
    QV::Matrix3 shear;
    shear.m00 = attrFloat(e, "shear00");
    shear.m01 = attrFloat(e, "shear01");
    shear.m10 = attrFloat(e, "shear10");
    shear.m11 = attrFloat(e, "shear11");
    return shear;
}

// Identity when "shear00" is absent.
QV::Matrix3 shearOrIdentity(pugi::xml_node e) { return has(e, "shear00") ? attrShear(e) : QV::Matrix3(); }

void logText(const std::string& text) {
    if (QV::LogSystem* log = QV::Singleton<QV::LogSystem>::instancePointer()) log->write(text);
}

// Parameters shared by plain, sprite and text objects, in file order.
void readCommonParameters(ISceneNode* node, pugi::xml_node p) {
    node->setWorldX(attrFloat(p, "X"));
    node->setWorldY(attrFloat(p, "Y"));
    node->mPosZ = attrFloat(p, "Z");
    node->setRotation(attrFloat(p, "angle"));
    node->setScaleX(attrFloat(p, "scaleX"));
    node->setScaleY(attrFloat(p, "scaleY"));
    node->mColor = attrColor(p);
    node->mPivotPoint = QV::Vector2<float>(attrFloat(p, "PivotPointX"), attrFloat(p, "PivotPointY"));
    node->setEnabled(attrBool(p, "Enable"));
    node->mParallax = has(p, "ParallaxEnabled") ? attrBool(p, "ParallaxEnabled") : true;
    node->mShear = shearOrIdentity(p);
}

void readFramesLoop(ISceneNode* node, pugi::xml_node frames) {
    const bool loop = attrBool(frames, "loop");
    node->mLoop = loop;
    node->mTimeline->mLoop = loop;
}

// Calls `each(frame number, Attributes element)` for every "frame" in order.
template <class Each>
void forEachFrame(pugi::xml_node object, Each each) {
    pugi::xml_node frames = object.child("frames");
    for (pugi::xml_node frame = frames.child("frame"); frame; frame = frame.next_sibling("frame"))
        each(attrInt(frame, "StartFrame"), frame.child("Attributes"));
}

}  // namespace

// Loading.

bool SceneXmlReader::load(ISceneNode*& root, const std::string& name) {
    QV::FileSystem* files = QV::Singleton<QV::FileSystem>::instancePointer();
    std::unique_ptr<QV::File> file(files ? files->open("default", name) : nullptr);
    if (file) {
        std::vector<char> bytes;
        const uint32_t count = QV::readWholeFile(*file, bytes);
        return loadFromMemory(root, name, bytes.data(), count);
    }
    mDocument.reset();
    if (!mDocument.load_file(name.c_str())) return false;
    return build(root, name);
}

bool SceneXmlReader::loadFromMemory(ISceneNode*& root, const std::string& name, const void* data, size_t size) {
    mDocument.reset();
    if (!mDocument.load_buffer(data, size)) return false;
    return build(root, name);
}

bool SceneXmlReader::build(ISceneNode*& root, const std::string& name) {
    mName = name;
    mDepth = 0;
    mDepthReported = false;
    if (!root) {
        root = new ISceneNode();
        root->mName = name;
    }
    root->mFileName = name;
    pugi::xml_node scene = mDocument.child("Scene");
    for (pugi::xml_node object = scene.child("Object"); object; object = object.next_sibling("Object"))
        readObject(root, object);
    readMarkers(scene, root);
    root->update(0.0f);
    mDocument.reset();
    registerLiveScene(root);
    return true;
}

ISceneNode* SceneXmlReader::readObject(ISceneNode* parent, pugi::xml_node object) {
    if (mDepth >= kMaxObjectDepth) {
        if (!mDepthReported)
            logText(QV::formatString("WARNING: Scene '%s' nests objects deeper than %d levels; the deeper ones are skipped",
                                     mName.c_str(), kMaxObjectDepth));
        mDepthReported = true;
        return nullptr;
    }
    const std::string type = object.attribute("type").as_string();
    ISceneNode* node = nullptr;
    if (type == "Sprite") {
        node = readSpriteObject(object);
    } else if (type == "ParticleFX") {
        node = readParticleObject(object);
    } else if (type == "Sound") {
        node = readSoundObject(object);
    } else if (type == "MovieCamera") {
        node = readCameraObject(object);
    } else if (type == "Text") {
        node = readTextObject(object);
    } else {
        node = readPlainObject(object);
    }
    if (!node) return nullptr;
    if (parent) parent->addChild(node, KeepTransform::Local);
    pugi::xml_node childs = object.child("Childs");
    // From the first "Object" on, every later element is read as an object.
    ++mDepth;
    for (pugi::xml_node child = childs.child("Object"); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) readObject(node, child);
    }
    --mDepth;
    readMarkers(object, node);
    return node;
}

void SceneXmlReader::readCommonFrameKeys(pugi::xml_node a, IFrameData& data) {
    data.x = attrFloat(a, "X");
    data.y = attrFloat(a, "Y");
    data.bezierX = attrFloat(a, "bezierX");
    data.bezierY = attrFloat(a, "bezierY");
    data.bezierCoeffX = attrFloat(a, "bezierCoeffX");
    data.bezierCoeffY = attrFloat(a, "bezierCoeffY");
    data.positionBezier = attrBool(a, "bezierPosEnabled");
    data.z = attrFloat(a, "Z");
    data.pivotX = attrFloat(a, "PivotPointX");
    data.pivotY = attrFloat(a, "PivotPointY");
    data.angle = attrFloat(a, "angle");
    data.bezierAngle = attrFloat(a, "bezierAngle");
    data.bezierCoeffAngle = attrFloat(a, "bezierCoeffAngle");
    data.angleBezier = attrBool(a, "bezierAngleEnabled");
    data.scaleX = attrFloat(a, "scaleX");
    data.scaleY = attrFloat(a, "scaleY");
    data.bezierScaleX = attrFloat(a, "bezierScaleX");
    data.bezierScaleY = attrFloat(a, "bezierScaleY");
    data.bezierCoeffScaleX = attrFloat(a, "bezierCoeffScaleX");
    data.bezierCoeffScaleY = attrFloat(a, "bezierCoeffScaleY");
    data.scaleBezier = attrBool(a, "bezierScaleEnabled");
    data.color = attrColor(a);
}

void SceneXmlReader::readFrameKeys(pugi::xml_node a, ISceneNode* node, int frame) {
    IFrameData data;
    readCommonFrameKeys(a, data);
    data.shear = attrShear(a);
    node->storeKeyFrame(frame, data);
}

void SceneXmlReader::readMarkers(pugi::xml_node element, ISceneNode* owner) {
    pugi::xml_node markers = element.child("markers");
    for (pugi::xml_node marker = markers.first_child(); marker; marker = marker.next_sibling()) {
        if (marker.type() == pugi::node_element) readMarker(marker, owner);
    }
}

void SceneXmlReader::readMarker(pugi::xml_node element, ISceneNode* owner) {
    Marker* marker = new Marker(element.child("name").child_value());
    pugi::xml_node playList = element.child("playList");
    for (pugi::xml_node entry = playList.first_child(); entry; entry = entry.next_sibling()) {
        if (entry.type() != pugi::node_element) continue;
        pugi::xml_attribute path = entry.attribute("path");
        ISceneNode* node =
            path ? owner->findNodeByPath(path.as_string()) : owner->findNode(entry.attribute("name").as_string());
        marker->addEntry(node, attrInt(entry, "from"), attrInt(entry, "to"), attrBool(entry, "recursive"),
                         attrBool(entry, "looped"));
    }
    owner->addMarker(marker);
}

// Object kinds.

ISceneNode* SceneXmlReader::readPlainObject(pugi::xml_node object) {
    ISceneNode* node = new ISceneNode();
    node->mName = object.attribute("name").as_string();
    readCommonParameters(node, object.child("Parameters"));
    readFramesLoop(node, object.child("frames"));
    forEachFrame(object, [&](int frame, pugi::xml_node a) {
        readFrameKeys(a, node, frame);
        node->setKeyValues(frame, attrFloat(a, "X"), attrFloat(a, "Y"), attrFloat(a, "Z"), attrFloat(a, "angle"),
                           attrFloat(a, "scaleX"), attrFloat(a, "scaleY"), attrColor(a), shearOrIdentity(a),
                           QV::Vector2<float>(attrFloat(a, "PivotPointX"), attrFloat(a, "PivotPointY")));
    });
    return node;
}

ISceneNode* SceneXmlReader::readSpriteObject(pugi::xml_node object) {
    SpriteSceneNode* node = new SpriteSceneNode();
    const std::string fileName = object.attribute("filename").as_string();
    const std::string tableName = object.attribute("tablename").as_string();
    if (tableName == "default") {
        node->loadImage(fileName);
    } else {
        node->loadSprite(fileName, tableName);
    }
    if (!node->mSprite) {
        delete node;
        if (tableName == "default") {
            logText(QV::formatString("Failed to create sprite from %s", fileName.c_str()));
        } else {
            logText(QV::formatString("Failed to create sprite from %s %s", fileName.c_str(), tableName.c_str()));
        }
        return nullptr;
    }
    node->mName = object.attribute("name").as_string();
    pugi::xml_node p = object.child("Parameters");
    readCommonParameters(node, p);
    node->mBlendMode = attrInt(p, "BlendMode");
    node->mUseStencil = attrInt(p, "UseStencil");
    node->mDistortion = attrBool(p, "Distortion");
    if (has(p, "clipEnabled")) {
        node->mClipEnabled = attrBool(p, "clipEnabled");
        node->mClipRect = QV::Rect(attrFloat(p, "clipRectL"), attrFloat(p, "clipRectT"), attrFloat(p, "clipRectR"),
                                   attrFloat(p, "clipRectB"));
    }
    readFramesLoop(node, object.child("frames"));
    if (tableName != "default") node->loadFrames(FrameRange(), tableName);
    const bool keyedShear = has(p, "shear00");
    bool clipEnabled = node->mClipEnabled;
    QV::Rect clipRect = node->mClipRect;
    forEachFrame(object, [&](int frame, pugi::xml_node a) {
        readFrameKeys(a, node, frame);
        int frameIndex = attrInt(a, "frameIndex");
        if (frameIndex < 0 || static_cast<size_t>(frameIndex) >= node->frameCount()) frameIndex = 0;
        const QV::Matrix3 shear = keyedShear ? attrShear(a) : QV::Matrix3();
        if (has(a, "clipEnabled")) {
            clipEnabled = attrBool(a, "clipEnabled");
            clipRect = QV::Rect(attrFloat(a, "clipRectL"), attrFloat(a, "clipRectT"), attrFloat(a, "clipRectR"),
                                attrFloat(a, "clipRectB"));
        }
        node->setKeyValues(attrFloat(a, "X"), attrFloat(a, "Y"), attrFloat(a, "Z"), attrFloat(a, "angle"),
                           attrFloat(a, "scaleX"), attrFloat(a, "scaleY"), attrColor(a), attrInt(a, "BlendMode"),
                           attrFloat(a, "PivotPointX"), attrFloat(a, "PivotPointY"), frameIndex, attrFloat(a, "texX"),
                           attrFloat(a, "texY"), shear, attrBool(a, "animFrameIndex"), clipEnabled, clipRect, frame);
    });
    return node;
}

ISceneNode* SceneXmlReader::readTextObject(pugi::xml_node object) {
    TextSceneNode* node = new TextSceneNode(object.attribute("filename").as_string(), std::u16string());
    node->mName = object.attribute("name").as_string();
    pugi::xml_node p = object.child("Parameters");
    readCommonParameters(node, p);
    if (has(p, "AutoScale")) node->mAutoScale = attrBool(p, "AutoScale");
    node->setText(QV::toWide(p.attribute("Text").as_string()));
    node->mWordWrap = attrBool(p, "WordWrap");
    node->mClipping = attrBool(p, "Clipping");
    node->mTranslate = attrBool(p, "LocaleEnable");
    node->refreshText();
    node->mXCoeff = attrFloat(p, "XCoeff");
    node->mVAlign = static_cast<int32_t>(p.attribute("VAlign").as_uint(0));
    node->mYCoeff = attrFloat(p, "YCoeff");
    node->mHAlign = static_cast<int32_t>(p.attribute("HAlign").as_uint(0));
    node->mPixelPrecise = attrBool(p, "PixelPrec");
    node->setSize(QV::Vector2<float>(attrFloat(p, "TextAreaX"), attrFloat(p, "TextAreaY")));
    node->mClipLT = QV::Vector2<float>(attrFloat(p, "ClipRect0"), attrFloat(p, "ClipRect1"));
    node->mClipRB = QV::Vector2<float>(attrFloat(p, "ClipRect2"), attrFloat(p, "ClipRect3"));
    node->mMaxChar = attrInt(p, "MaxChar");
    node->mPresetName = p.attribute("Preset").as_string();
    node->setPresetMode(node->mUsePreset);
    node->setPresetMode(attrBool(p, "UsePreset"));
    node->mStencil = attrBool(p, "Stencil");
    node->mDistortion = attrBool(p, "Distortion");
    readFramesLoop(node, object.child("frames"));
    const bool keyedShear = has(p, "shear00");
    TextFrameData data;
    forEachFrame(object, [&](int frame, pugi::xml_node a) {
        readCommonFrameKeys(a, data);
        data.xcoeff = attrFloat(a, "XCoeff");
        data.ycoeff = attrFloat(a, "YCoeff");
        data.valign = static_cast<int32_t>(a.attribute("VAlign").as_uint(0));
        data.halign = static_cast<int32_t>(a.attribute("HAlign").as_uint(0));
        data.maxChar = attrInt(a, "MaxChar");
        data.textArea = QV::Vector2<float>(attrFloat(a, "TextAreaX"), attrFloat(a, "TextAreaY"));
        data.clipLT = QV::Vector2<float>(attrFloat(a, "ClipRect0"), attrFloat(a, "ClipRect1"));
        data.clipRB = QV::Vector2<float>(attrFloat(a, "ClipRect2"), attrFloat(a, "ClipRect3"));
        if (keyedShear) data.shear = attrShear(a);
        node->storeKeyFrame(frame, data);
    });
    return node;
}

ISceneNode* SceneXmlReader::readParticleObject(pugi::xml_node object) {
    ParticleSceneNode* node = new ParticleSceneNode();
    const std::string effect = object.attribute("filename").as_string();
    if (!node->createEffect(effect)) {
        for (MissingEffectListener* listener : mMissingEffectListeners) listener->onMissingEffect(*this, effect);
    }
    node->mName = object.attribute("name").as_string();
    pugi::xml_node p = object.child("Parameters");
    node->setWorldX(attrFloat(p, "X"));
    node->setWorldY(attrFloat(p, "Y"));
    node->mPosZ = attrFloat(p, "Z");
    node->mEmitCoef = attrFloat(p, "emitCoef");
    node->setEnabled(attrBool(p, "Enable"));
    node->mUseStencil = attrBool(p, "Stencil");
    node->mDistortion = attrBool(p, "Distortion");
    QV::Color color = QV::Color::fromBytes(255, 255, 255, 255);
    if (has(p, "color")) {
        const uint8_t v = static_cast<uint8_t>(attrInt(p, "color") & 0xFF);
        color = QV::Color::fromBytes(v, v, v, v);
    }
    node->mColor = color;
    node->mParallax = has(p, "ParallaxEnabled") ? attrBool(p, "ParallaxEnabled") : true;
    node->mPivotPoint = QV::Vector2<float>(0.0f, 0.0f);
    readFramesLoop(node, object.child("frames"));
    forEachFrame(object, [&](int frame, pugi::xml_node a) {
        readFrameKeys(a, node, frame);
        node->setKeyValues(attrFloat(a, "X"), attrFloat(a, "Y"), attrFloat(a, "Z"), attrFloat(a, "emitCoef"),
                           attrFloat(a, "PivotPointX"), attrFloat(a, "PivotPointY"), attrInt(a, "play"), frame);
    });
    node->mColor = color;
    node->mWorldColor = color;
    return node;
}

ISceneNode* SceneXmlReader::readCameraObject(pugi::xml_node object) {
    MovieCamera* node = new MovieCamera();
    node->mName = object.attribute("name").as_string();
    pugi::xml_node p = object.child("Parameters");
    node->setWorldX(attrFloat(p, "X"));
    node->setWorldY(attrFloat(p, "Y"));
    node->mPosZ = attrFloat(p, "Z");
    node->setRotation(attrFloat(p, "angle"));
    node->mPivotPoint = QV::Vector2<float>(attrFloat(p, "PivotPointX"), attrFloat(p, "PivotPoint.y"));
    node->setEnabled(attrBool(p, "Enable"));
    node->mParallaxCoef = attrFloat(p, "parallaxCoef");
    node->setScaleX(attrFloat(p, "scaleX"));
    node->setScaleY(attrFloat(p, "scaleY"));
    node->mParallax = has(p, "ParallaxEnabled") ? attrBool(p, "ParallaxEnabled") : attrBool(p, "parallaxEnable");
    readFramesLoop(node, object.child("frames"));
    forEachFrame(object, [&](int frame, pugi::xml_node a) {
        readFrameKeys(a, node, frame);
        node->setKeyValues(frame, attrFloat(a, "angle"), attrFloat(a, "X"), attrFloat(a, "Y"), attrFloat(a, "scaleX"),
                           attrFloat(a, "scaleY"));
    });
    pugi::xml_node activation = object.child("Activationframes");
    for (pugi::xml_node a = activation.child("Attribute"); a; a = a.next_sibling("Attribute"))
        node->addActivationFrame(attrInt(a, "startFrame"));
    return node;
}

ISceneNode* SceneXmlReader::readSoundObject(pugi::xml_node object) {
    SoundSceneNode* node = new SoundSceneNode();
    node->mName = object.attribute("name").as_string();
    node->setPosition(QV::Vector2<float>(0.0f, 0.0f));
    pugi::xml_node p = object.child("Parameters");
    node->setSound(object.attribute("filename").as_string(), attrInt(p, "SoundGroup"));
    const bool enabled = attrBool(p, "Enable");
    node->mPlay = attrBool(p, "Playing") ? 1 : 0;
    node->setEnabled(enabled);
    node->mVolume = attrFloat(p, "Volume");
    node->setWorldX(attrFloat(p, "X"));
    node->setWorldY(attrFloat(p, "Y"));
    node->mPosZ = attrFloat(p, "Z");
    node->setRotation(attrFloat(p, "Angle"));
    node->mPivotPoint = QV::Vector2<float>(attrFloat(p, "PivotPointX"), attrFloat(p, "PivotPoint.y"));
    node->setEnabled(enabled);
    node->mFading = attrBool(p, "fading");
    node->setPriority(attrInt(p, "priority"));
    node->mParallax = has(p, "ParallaxEnabled") ? attrBool(p, "ParallaxEnabled") : true;
    const QV::Color color = attrColor(p);
    node->mColor = color;
    readFramesLoop(node, object.child("frames"));
    forEachFrame(object, [&](int frame, pugi::xml_node a) {
        readFrameKeys(a, node, frame);
        node->mColor = attrColor(a);
        node->mWorldColor = node->mColor;
        node->setKeyValues(frame, attrInt(a, "playSound"), attrFloat(a, "Volume"));
    });
    node->mColor = color;
    node->mWorldColor = color;
    return node;
}

ISceneNode* loadSceneXml(const std::string& name) {
    SceneXmlReader reader;
    ISceneNode* root = nullptr;
    if (!reader.load(root, name)) return nullptr;
    return root;
}

}  // namespace AE
