#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "animationeditor/node_timeline.h"
#include "color.h"
#include "matrix3.h"
#include "vector2.h"

namespace QV {
struct Camera;
}

namespace AE {

class DataStream;
class IFrameData;
class ISceneNodeData;
class Marker;
class MovieCamera;

// Whether a node that changes parent keeps its local parameters (and moves
// with the new parent) or keeps its world placement on screen.
enum class KeepTransform { Local, World };

// Which markers resetMarkers stops, and whether it replays them from their start first.
enum class MarkerScope { NodeOnly, Subtree };
enum class MarkerReplay { No, FromStart };

// Kind codes returned by getType.
enum NodeType { kPlainNode = 0, kSpriteNode = 1, kParticleNode = 2, kSoundNode = 3, kTextNode = 4, kMovieCamera = 5 };

// A node of an animated scene: a name, a local transform, a colour, flags, a
// play range, named markers and a timeline that animates twelve parameters.
// A node owns its children, its markers and its timeline.
class ISceneNode {
public:
    ISceneNode();
    // A copy of the source and of its subtree and markers, attached to `parent`.
    ISceneNode(const ISceneNode& source, ISceneNode* parent);
    ISceneNode(const ISceneNode& source) : ISceneNode(source, nullptr) {}
    ISceneNode& operator=(const ISceneNode&) = delete;
    virtual ~ISceneNode();

    virtual int getType() const { return kPlainNode; }
    // Kind-specific per-frame work; the base computes the world colour and updates the markers.
    virtual void updateDerived(float dt);
    // The translation of the first child's world matrix when there are children, else of its own.
    virtual QV::Vector2<float> getWorldPosition() const;
    virtual void setRotation(float degrees);
    virtual void setScaleX(float scale);
    virtual void setScaleY(float scale);
    // The timeline is left running either way.
    virtual void setPlaying(bool playing, bool recursive);
    virtual void moveKeyFrame(int fromFrame, int toFrame);
    virtual bool hitTest(int x, int y, bool visibleOnly);
    virtual QV::Vector2<float> getSize() const;
    virtual QV::Vector2<float> getBoundsSize() const;
    virtual void setSize(const QV::Vector2<float>&) {}
    virtual void addKeyFrame(int frame);
    virtual void removeKeyFrame(int frame);
    virtual void gotoFrame(int frame);
    // Stores the position only; the matrices follow at the next transform pass.
    virtual void setPosition(const QV::Vector2<float>& position);
    // Sets the time (not below 0) and applies the keyed values at once.
    virtual void setTime(float seconds, bool recursive);
    virtual ISceneNode* clone(ISceneNode* parent) const;
    virtual void stopDerived() {}
    virtual void draw() {}
    // The view record of a movie camera; an identity view for other kinds.
    virtual QV::Camera getWorldTransform() const;

    // Key frame editing and snapshots.
    // Makes the frame a key frame and writes the record's values and easing into it.
    virtual void storeKeyFrame(int frame, const IFrameData& data);
    virtual void copyKeyFrame(int fromFrame, int toFrame);
    // A new key repeating the key at the current index (not an interpolated value).
    virtual void insertKeyFrame(int frame);
    // A record of the node's key at a key frame; the caller owns it.
    virtual IFrameData* createFrameData(int frame, bool world);
    virtual void applyNodeData(const ISceneNodeData& data);
    virtual ISceneNodeData* createNodeData(bool relative);
    virtual void fillNodeData(ISceneNodeData& data, bool relative);
    // Binary snapshot; reading needs a node of the same kind.
    virtual void write(DataStream& stream, bool relative);
    virtual void read(DataStream& stream);
    QV::Matrix3 getWorldMatrixAtFrame(int frame);

    // Tree.
    void addChild(ISceneNode* child, KeepTransform keep);
    void setParent(ISceneNode* parent, KeepTransform keep);
    void removeChild(ISceneNode* child, KeepTransform keep);
    ISceneNode* findNode(const std::string& name);
    ISceneNode* findNodeByPath(const std::string& path);
    std::string getPath(const ISceneNode* relativeTo) const;
    std::vector<ISceneNode*> collectDescendants() const;
    ISceneNode* getRoot();
    MovieCamera* getSceneCamera();
    bool usesCameras();

    // Transform and colour.
    void setWorldPosition(const QV::Vector2<float>& point);
    void setWorldX(float x);
    void setWorldY(float y);
    float getWorldRotation() const;
    QV::Color getColor() const { return mColor; }
    QV::Color getWorldColor() const { return mWorldColor; }
    const QV::Vector2<float>& getPosition() const { return mPosition; }
    float getRotation() const { return mRotation; }
    const QV::Vector2<float>& getScale() const { return mScale; }

    // Play control.
    void play(bool recursive);
    void playDirected(bool backwards, bool recursive);
    void stop(bool recursive);
    void halt(bool recursive);
    void setEnabled(bool enabled);

    // Markers of this node.
    void addMarker(Marker* marker);
    Marker* findMarker(const std::string& name) const;
    Marker* getMarker(const std::string& name) const;
    void playMarker(const std::string& name);
    void resetMarkers(MarkerScope scope, MarkerReplay replay);

    // Key frames of the twelve node parameters.
    bool hasKeyFrame(int frame) const { return mTimeline->hasKeyFrame(frame); }
    std::vector<int32_t> getKeyFrames() const { return mTimeline->mKeyFrames; }
    void setKeyValues(int frame, float x, float y, float posZ, float rotation, float scaleX, float scaleY,
                      const QV::Color& color, const QV::Matrix3& shear, const QV::Vector2<float>& pivot);

    // Per-frame work on a tree, normally called on its root.
    void update(float dt);
    void advanceTimeline(float dt);
    void updateTransform();
    void rebuildTransform();
    void selectActiveCamera();
    // Sets the render camera from the scene's active camera, with parallax.
    void applyCameraView();

    std::string mFileName;
    std::string mName = "default";
    std::string mResourceName = "default";
    std::vector<ISceneNode*> mChildren;
    ISceneNode* mParent = nullptr;
    float mPosZ = 0.0f;
    QV::Vector2<float> mPosition;
    QV::Vector2<float> mWorldPosition;
    float mRotation = 0.0f;
    QV::Vector2<float> mPivotPoint;
    QV::Vector2<float> mScale{1.0f, 1.0f};
    // The inputs as they were when the local matrix was last built.
    QV::Vector2<float> mCachedPosition;
    float mCachedRotation = 0.0f;
    QV::Vector2<float> mCachedPivotPoint;
    QV::Vector2<float> mCachedScale{1.0f, 1.0f};
    QV::Matrix3 mCachedShear;
    bool mTransformChanged = true;
    ISceneNode* mCachedParent = nullptr;
    QV::Matrix3 mLocalMatrix;
    float mReserved[2] = {0.0f, 0.0f};
    QV::Color mColor = QV::Color::fromBytes(255, 255, 255, 255);
    QV::Color mWorldColor = QV::Color::fromBytes(255, 255, 255, 255);
    MovieCamera* mActiveCamera = nullptr;
    bool mPlaying = false;
    bool mEnabled = true;
    NodeTimeline* mTimeline = nullptr;
    bool mLoop = false;
    uint8_t mReservedFlags[5] = {0, 0, 0, 1, 0};
    bool mBackwards = false;
    int32_t mFromFrame = 0;
    int32_t mToFrame = 0;
    bool mUseCameras = true;
    QV::Matrix3 mWorldMatrix;
    QV::Matrix3 mShear;
    std::vector<Marker*> mMarkers;
    bool mParallax = true;

private:
    void bindParameters();
    // Recomputes the local parameters so that the world matrix becomes
    // `world` under a parent whose world matrix is `parentWorld`.
    void keepWorldPlacement(const QV::Matrix3& world, const QV::Matrix3& parentWorld);
    void derivedPass(float dt);
};

// The value of the key that starts the current segment (not the interpolated value).
float getCurrentKeyFloat(ISceneNode* node, const std::string& name);
QV::Vector2<float> getCurrentKeyVector2(ISceneNode* node, const std::string& name);
QV::Color getCurrentKeyColor(ISceneNode* node, const std::string& name);
bool getCurrentKeyBool(ISceneNode* node, const std::string& name);

}  // namespace AE
