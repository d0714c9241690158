#include "tutorial/mask_blackout.h"

#include <cstring>

#include "color.h"
#include "render_data.h"
#include "render_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "sprite_texture_access.h"
#include "vertex_format.h"

namespace {

constexpr int kQuads = 9;
constexpr int kVertices = kQuads * 4;
// The hole's picture stops this many texels inside the mask's edge, so the
// stretched border never picks up the texels outside the mask.
constexpr float kInset = 3.0f;

QV::SpriteManager<QV::Sprite>* sprites() { return QV::SpriteManager<QV::Sprite>::instancePointer(); }

float* vertexFloats(uint8_t* data, int index, uint32_t offset) {
    return reinterpret_cast<float*>(data + size_t(index) * QV::VertexLayout::stride() + offset);
}

// Which of the four edges (0 left/top, 1 right/bottom) a corner of a quad of
// the given column or row uses: the outer columns and rows are flat on their
// inner edge, the middle one spans the hole.
void cornerEdges(int cell, int* first, int* second) {
    if (cell == 0) *first = *second = 0;
    else if (cell == 1) *first = 0, *second = 1;
    else *first = *second = 1;
}

}  // namespace

MaskBlackout::MaskBlackout(const std::string& file, const std::string& table) : mRenderData(new QV::RenderData()) {
    if (QV::SpriteManager<QV::Sprite>* manager = sprites()) mSprite = manager->createSprite(file, table, "default");
    QV::VertexLayout::update();
    uint8_t* data = mRenderData->allocateVertices(kVertices);
    mRenderData->mPrimitiveKind = 0;
    mRenderData->mBlendMode = 0;
    mRenderData->mAddressMode = 2;
    float left = 0.0f, top = 0.0f, right = 1.0f, bottom = 1.0f;
    if (mSprite && mSprite->mQuadData && !mSprite->mQuadData->mTextures.empty()) {
        QV::Texture* texture = mSprite->mQuadData->mTextures.front();
        for (QV::Texture* t : mSprite->mQuadData->mTextures) mRenderData->addTexture(t);
        const float w = static_cast<float>(QV::spriteTextureWidth(texture));
        const float h = static_cast<float>(QV::spriteTextureHeight(texture));
        if (w > 0.0f && h > 0.0f && mSprite->gridPointCount() >= 4) {
            const QV::Vector2<float> first = mSprite->meshTexCoord(0, 0);
            const QV::Vector2<float> last = mSprite->meshTexCoord(static_cast<int32_t>(mSprite->mSizeX),
                                                                  static_cast<int32_t>(mSprite->mSizeY));
            left = (first.x + kInset) / w;
            top = (first.y + kInset) / h;
            right = (last.x - kInset) / w;
            bottom = (last.y - kInset) / h;
        }
    }
    const float us[2] = {left, right};
    const float vs[2] = {top, bottom};
    for (int row = 0; row < 3; ++row) {
        int rowTop, rowBottom;
        cornerEdges(row, &rowTop, &rowBottom);
        for (int column = 0; column < 3; ++column) {
            int columnLeft, columnRight;
            cornerEdges(column, &columnLeft, &columnRight);
            const int quad = row * 3 + column;
            // Top-left, top-right, bottom-right, bottom-left.
            const float u[4] = {us[columnLeft], us[columnRight], us[columnRight], us[columnLeft]};
            const float v[4] = {vs[rowTop], vs[rowTop], vs[rowBottom], vs[rowBottom]};
            for (int k = 0; k < 4; ++k) {
                float* p = vertexFloats(data, quad * 4 + k, QV::VertexLayout::positionOffset());
                p[2] = 1.0f;
                float* t = vertexFloats(data, quad * 4 + k, QV::VertexLayout::texCoordOffset(0));
                t[0] = u[k];
                t[1] = v[k];
            }
        }
    }
}

MaskBlackout::~MaskBlackout() {
    if (mSprite && sprites()) sprites()->destroySprite(mSprite);
}

QV::Vector2<float> MaskBlackout::maskSize() const { return mSprite ? mSprite->getSize() : QV::Vector2<float>(); }

void MaskBlackout::place(const QV::Vector2<float>& point) {
    mPosition = point;
    const QV::Vector2<float> offset = tutorialOrientation() == 1 ? mMaskOffsetV : mMaskOffsetH;
    const QV::Vector2<float> corner(point.x + offset.x - mPadding.x, point.y + offset.y - mPadding.y);
    const QV::Vector2<float> size = maskSize();
    const QV::Vector2<float> screen = tutorialScreenSize();
    const float xs[4] = {0.0f, corner.x, corner.x + size.x, screen.x};
    const float ys[4] = {0.0f, corner.y, corner.y + size.y, screen.y};
    const QV::Color color(1.0f, 1.0f, 1.0f, mAlpha);
    uint8_t* data = mRenderData->vertexData();
    if (!data) return;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const int quad = row * 3 + column;
            const float x[4] = {xs[column], xs[column + 1], xs[column + 1], xs[column]};
            const float y[4] = {ys[row], ys[row], ys[row + 1], ys[row + 1]};
            for (int k = 0; k < 4; ++k) {
                const int index = quad * 4 + k;
                float* p = vertexFloats(data, index, QV::VertexLayout::positionOffset());
                p[0] = x[k];
                p[1] = y[k];
                std::memcpy(data + size_t(index) * QV::VertexLayout::stride() + QV::VertexLayout::diffuseOffset(),
                            &color, sizeof color);
            }
        }
    }
}

void MaskBlackout::draw() {
    QV::RenderSystem* renderer = QV::RenderSystem::instancePointer();
    if (!renderer || mRenderData->vertexCount() == 0) return;
    renderer->flush();
    renderer->draw(mRenderData.get());
    renderer->flush();
}

QV::Vector2<float> MaskBlackout::vertexPosition(int index) const {
    const float* p = vertexFloats(mRenderData->vertexData(), index, QV::VertexLayout::positionOffset());
    return QV::Vector2<float>(p[0], p[1]);
}

QV::Vector2<float> MaskBlackout::vertexTexCoord(int index) const {
    const float* t = vertexFloats(mRenderData->vertexData(), index, QV::VertexLayout::texCoordOffset(0));
    return QV::Vector2<float>(t[0], t[1]);
}

uint32_t MaskBlackout::vertexColor(int index) const {
    QV::Color color;
    std::memcpy(&color, mRenderData->vertexData() + size_t(index) * QV::VertexLayout::stride() +
                            QV::VertexLayout::diffuseOffset(), sizeof color);
    return color.word();
}
