#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_data.h"
#include "rect.h"

namespace QV {
class Animation;
class Sprite;
}  // namespace QV

namespace AE {

// Which rectangles of a sprite description a node takes: first to last (0:
// the description's last), every step-th.
struct FrameRange {
    int32_t first = 0;
    int32_t last = 0;
    int32_t step = 1;
};

// Stencil roles of a sprite node.
enum StencilRole { kNoStencil = 0, kStencilMask = 1, kStencilMasked = 2 };

class SpriteSceneNodeData : public ISceneNodeData {
public:
    struct FrameRecord {
        uint32_t reserved = 0;
        QV::Rect rect;
    };
    int getType() const override { return 176; }

    int32_t blendMode = 0;
    int32_t frameIndex = 0;
    QV::Vector2<float> texPos;
    QV::Rect srcRect;
    QV::Rect drawRect;
    int32_t frameCount = 0;
    bool distortion = false;
    int32_t useStencil = 0;
    std::vector<FrameRecord> frames;
    bool clipEnabled = false;
    QV::Rect clipRect;
};

// A scene node showing a sprite: a keyed choice among the source rectangles
// of its description, a texture offset, a blend mode and a clip rectangle. It
// may act as a stencil mask for the nodes below it.
class SpriteSceneNode : public ISceneNode {
public:
    SpriteSceneNode();
    SpriteSceneNode(const SpriteSceneNode& source, ISceneNode* parent);
    ~SpriteSceneNode() override;

    int getType() const override { return kSpriteNode; }
    void updateDerived(float dt) override;
    QV::Vector2<float> getWorldPosition() const override;
    bool hitTest(int x, int y, bool visibleOnly) override;
    QV::Vector2<float> getSize() const override;
    void setSize(const QV::Vector2<float>& size) override;
    void addKeyFrame(int frame) override;
    void storeKeyFrame(int frame, const IFrameData& data) override;
    ISceneNode* clone(ISceneNode* parent) const override;
    void copyKeyFrame(int fromFrame, int toFrame) override;
    void insertKeyFrame(int frame) override;
    IFrameData* createFrameData(int frame, bool world) override;
    void applyNodeData(const ISceneNodeData& data) override;
    ISceneNodeData* createNodeData(bool relative) override;
    void fillNodeData(ISceneNodeData& data, bool relative) override;
    void write(DataStream& stream, bool relative) override;
    void read(DataStream& stream) override;
    void draw() override;
    void setKeyValues(float x, float y, float posZ, float rotation, float scaleX, float scaleY,
                      const QV::Color& color, int blendMode, float pivotX, float pivotY, int frameIndex,
                      float texX, float texY, const QV::Matrix3& shear, bool animFrameIndex,
                      bool clipEnabled, const QV::Rect& clipRect, int frame);

    // Takes the sprite (null: none); the node owns it from then on.
    void setSprite(QV::Sprite* sprite);
    // A sprite description by script (or its XML twin) and table.
    void loadSprite(const std::string& fileName, const std::string& tableName);
    // A plain picture, from the current language's package when it has it.
    // False, with no sprite left, when no package lists the picture.
    bool loadImage(const std::string& imageName);
    // Appends the description's rectangles (of the node's file) as frames.
    void loadFrames(const FrameRange& range, const std::string& tableName);
    // Draws the mask's shape into the stencil and makes it the current clip node.
    static void drawStencilMask(SpriteSceneNode* mask);

    size_t frameCount() const;
    QV::Rect frameRect(size_t index) const;

    QV::Sprite* mSprite = nullptr;
    int32_t mBlendMode = 0;
    bool mDistortion = false;
    QV::Animation* mFrames = nullptr;
    int32_t mFrameIndex = 0;
    QV::Vector2<float> mTexPos;
    QV::Rect mSrcRect;
    QV::Rect mDrawRect;
    std::vector<int32_t> mFrameSources;
    bool mAnimFrameIndex = false;
    bool* mFrameIndexInterpolation = nullptr;
    bool mOwnsSprite = true;
    bool mClipEnabled = false;
    QV::Rect mClipRect;
    int32_t mUseStencil = 0;

private:
    void bindSpriteParameters(bool interpolateFrameIndex);
    void appendFrame(const QV::Rect& rect, int32_t source);
    void takeFrameZero();
};

// The nearest ancestor sprite node that is a stencil mask, or null.
SpriteSceneNode* findStencilMask(ISceneNode* node);
// Before a masked node draws: the mask's shape into the stencil (unless it is
// already there) and the stencil test on. Returns the mask found.
SpriteSceneNode* beginMaskedDraw(ISceneNode* node);

}  // namespace AE
