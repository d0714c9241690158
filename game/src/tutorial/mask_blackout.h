#pragma once

#include <memory>
#include <string>

#include "tutorial/blackout.h"

namespace QV {
class RenderData;
class Sprite;
}  // namespace QV

// Dims the screen around a window-shaped hole: the mask sprite's picture in
// the middle and its border texels stretched to the screen's edges, nine
// quads drawn as one batch of their own.
class MaskBlackout : public Blackout {
public:
    // The mask is the sprite `table` of the sprite script `file` (package "default").
    MaskBlackout(const std::string& file, const std::string& table);
    ~MaskBlackout() override;
    MaskBlackout(const MaskBlackout&) = delete;
    MaskBlackout& operator=(const MaskBlackout&) = delete;

    // The mask's top-left corner goes to point + offset (of the orientation) - padding.
    void place(const QV::Vector2<float>& point) override;
    void draw() override;

    // The mask's size; (0, 0) when it has no texture.
    QV::Vector2<float> maskSize() const;
    // The vertex position and colour of one of the 36 vertices (tests and tools).
    QV::Vector2<float> vertexPosition(int index) const;
    QV::Vector2<float> vertexTexCoord(int index) const;
    uint32_t vertexColor(int index) const;

    QV::Vector2<float> mMaskOffsetH;
    QV::Vector2<float> mMaskOffsetV;
    QV::Vector2<float> mPadding;
    QV::Vector2<float> mPosition;
    QV::Sprite* mSprite = nullptr;                // released through the sprite manager
    std::unique_ptr<QV::RenderData> mRenderData;  // 36 vertices: nine quads
};
