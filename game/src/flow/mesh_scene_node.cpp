#include "flow/mesh_scene_node.h"

#include <cstdlib>
#include <cstring>

#include "animationeditor/marker.h"
#include "animationeditor/sprite_scene_node.h"
#include "color.h"
#include "format_string.h"
#include "log_system.h"
#include "flow/mesh_transformer.h"
#include "platform/gfx/gfx_device.h"
#include "platform/gfx/gfx_types.h"
#include "render_data.h"
#include "render_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "texture.h"
#include "vertex_format.h"

namespace {

const char kMeshPrefix[] = "#mesh:";

bool startsWith(const std::string& text, const char* prefix) { return text.compare(0, std::strlen(prefix), prefix) == 0; }

// The run of characters from `from` that belong to a number of the given alphabet.
std::string numberRun(const std::string& text, size_t from, const char* alphabet, size_t* end) {
    size_t i = from;
    while (i < text.size() && std::strchr(alphabet, text[i]) && text[i] != '\0') ++i;
    if (end) *end = i;
    return text.substr(from, i - from);
}

float* vertexFloats(uint8_t* data, uint32_t index, uint32_t offset) {
    return reinterpret_cast<float*>(data + size_t(index) * QV::VertexLayout::stride() + offset);
}

}  // namespace

namespace MeshMarkers {

bool readSegments(const std::string& name, int* x, int* y) {
    static const char kKey[] = "#segments:";
    if (!startsWith(name, kKey)) return false;
    size_t end = 0;
    *x = std::atoi(numberRun(name, sizeof(kKey) - 1, "0123456789-", &end).c_str());
    // One separator character between the two numbers.
    *y = end < name.size() ? std::atoi(numberRun(name, end + 1, "0123456789-", nullptr).c_str()) : 0;
    return true;
}

bool readLocation(const std::string& name, int* location) {
    static const char kKey[] = "#location:";
    const size_t at = name.find(kKey);
    if (at == std::string::npos) return false;
    *location = std::atoi(numberRun(name, at + sizeof(kKey) - 1, "0123456789-", nullptr).c_str());
    return true;
}

bool readFloat(const std::string& name, const char* key, float* value) {
    if (!startsWith(name, key)) return false;
    *value = float(std::atof(numberRun(name, std::strlen(key), "0123456789.-", nullptr).c_str()));
    return true;
}

}  // namespace MeshMarkers

MeshSceneNode::MeshSceneNode(AE::ISceneNode* placeholder) : AE::ISceneNode(*placeholder, nullptr) {
    mRenderData = new QV::RenderData();
    takeSprite(placeholder);
    mWidth = (mFrameRight - mFrameLeft) * mScale.x;
    mHeight = (mFrameBottom - mFrameTop) * mScale.y;
    readMeshMarkers(placeholder);
    buildMesh();
    AE::ISceneNode* parent = placeholder->mParent;
    if (parent) {
        mName = placeholder->mName;
        delete placeholder;
        parent->addChild(this, AE::KeepTransform::World);
    }
}

MeshSceneNode::~MeshSceneNode() {
    if (mSprite) QV::SpriteManager<QV::Sprite>::instance()->destroySprite(mSprite);
    mSprite = nullptr;
    delete mRenderData;
    mRenderData = nullptr;
    delete mTransformer;
    mTransformer = nullptr;
}

void MeshSceneNode::takeSprite(AE::ISceneNode* placeholder) {
    const QV::Sprite* source = nullptr;
    if (placeholder->getType() == AE::kSpriteNode) {
        // Scene sprite nodes already hold the picture their description names.
        source = static_cast<AE::SpriteSceneNode*>(placeholder)->mSprite;
    } else if (!mFileName.empty() && mResourceName != "default") {
        mSprite = QV::SpriteManager<QV::Sprite>::instance()->createSprite(mFileName, mResourceName, "default");
        source = mSprite;
    }
    if (!source) return;
    if (!source->mFrames.empty()) {
        const QV::Rect& frame = source->mFrames[0];
        mFrameLeft = frame.left;
        mFrameTop = frame.top;
        mFrameRight = frame.right;
        mFrameBottom = frame.bottom;
    }
    if (source->mQuadData) {
        for (QV::Texture* texture : source->mQuadData->mTextures) mRenderData->addTexture(texture);
        QV::Texture* first = source->mQuadData->mTextures.empty() ? nullptr : source->mQuadData->mTextures[0];
        if (first && first->getWidth() > 0 && first->getHeight() > 0) {
            mTextureWidth = float(first->getWidth());
            mTextureHeight = float(first->getHeight());
        }
    }
}

void MeshSceneNode::readMeshMarkers(AE::ISceneNode* placeholder) {
    static const char kTransformer[] = "#transformer:";
    for (const AE::Marker* marker : placeholder->mMarkers) {
        const std::string& name = marker->getName();
        int x = 0, y = 0;
        if (MeshMarkers::readSegments(name, &x, &y)) {
            // A grid needs at least one quad each way; nonsense counts fall back to one.
            mSegmentsX = x > 0 ? uint32_t(x) : 1u;
            mSegmentsY = y > 0 ? uint32_t(y) : 1u;
        } else if (startsWith(name, kTransformer)) {
            const std::string kind = name.substr(sizeof(kTransformer) - 1);
            delete mTransformer;
            mTransformer = MeshTransformer::create(kind, this, placeholder);
            if (!mTransformer)
                QV::logLine(QV::formatString("ERROR: Not found mesh transformer by \"%s\" name!", kind.c_str()));
        }
    }
}

QV::Vector2<float> MeshSceneNode::worldOrigin() const { return QV::Vector2<float>(mWorldMatrix.m20, mWorldMatrix.m21); }

uint32_t MeshSceneNode::vertexCount() const { return mRenderData->vertexCount(); }

QV::Vector2<float> MeshSceneNode::vertexPosition(uint32_t index) const {
    const float* p = vertexFloats(mRenderData->vertexData(), index, QV::VertexLayout::positionOffset());
    return QV::Vector2<float>(p[0], p[1]);
}

void MeshSceneNode::setVertexPosition(uint32_t index, const QV::Vector2<float>& position) {
    float* p = vertexFloats(mRenderData->vertexData(), index, QV::VertexLayout::positionOffset());
    p[0] = position.x;
    p[1] = position.y;
}

float MeshSceneNode::vertexZ(uint32_t index) const {
    return vertexFloats(mRenderData->vertexData(), index, QV::VertexLayout::positionOffset())[2];
}

QV::Vector2<float> MeshSceneNode::vertexTexCoord(uint32_t index) const {
    const float* t = vertexFloats(mRenderData->vertexData(), index, QV::VertexLayout::texCoordOffset(0));
    return QV::Vector2<float>(t[0], t[1]);
}

void MeshSceneNode::buildMesh() {
    QV::VertexLayout::update();
    const uint32_t quads = mSegmentsX * mSegmentsY;
    uint8_t* data = mRenderData->allocateVertices(quads * 4);
    mRenderData->mPrimitiveKind = 0;
    mRenderData->mBlendMode = 0;
    mRenderData->mAddressMode = 0;
    mBase.assign(size_t(quads) * 4, QV::Vector2<float>());
    const float cw = mWidth / float(mSegmentsX);
    const float ch = mHeight / float(mSegmentsY);
    const QV::Vector2<float> origin = worldOrigin();
    const QV::Color white = QV::Color::fromBytes(255, 255, 255, 255);
    static const int kCornerX[4] = {0, 1, 1, 0};
    static const int kCornerY[4] = {0, 0, 1, 1};
    for (uint32_t i = 0; i < mSegmentsY; ++i) {
        for (uint32_t j = 0; j < mSegmentsX; ++j) {
            const uint32_t q = j + mSegmentsX * i;
            for (int k = 0; k < 4; ++k) {
                const uint32_t v = q * 4 + uint32_t(k);
                const float dx = float(j + uint32_t(kCornerX[k])) * cw;
                const float dy = float(i + uint32_t(kCornerY[k])) * ch;
                float* p = vertexFloats(data, v, QV::VertexLayout::positionOffset());
                p[0] = origin.x + dx;
                p[1] = origin.y + dy;
                p[2] = 1.0f;
                *reinterpret_cast<QV::Color*>(data + size_t(v) * QV::VertexLayout::stride() +
                                              QV::VertexLayout::diffuseOffset()) = white;
                float* t = vertexFloats(data, v, QV::VertexLayout::texCoordOffset(0));
                const float fx = mWidth != 0.0f ? dx / mWidth : 0.0f;
                const float fy = mHeight != 0.0f ? dy / mHeight : 0.0f;
                t[0] = (mFrameLeft + (mFrameRight - mFrameLeft) * fx) / mTextureWidth;
                t[1] = (mFrameTop + (mFrameBottom - mFrameTop) * fy) / mTextureHeight;
                mBase[v] = QV::Vector2<float>(p[0], p[1]);
            }
        }
    }
}

void MeshSceneNode::updateDerived(float dt) {
    AE::ISceneNode::updateDerived(dt);
    if (mTransformer) mTransformer->update(dt);
}

void MeshSceneNode::setTime(float seconds, bool recursive) {
    AE::ISceneNode::setTime(seconds, recursive);
    if (mTransformer) mTransformer->setTime(seconds);
}

void MeshSceneNode::draw() {
    QV::RenderSystem* renderer = QV::RenderSystem::instancePointer();
    if (!renderer || !mEnabled || mRenderData->vertexCount() == 0) return;
    applyCameraView();
    renderer->flush();
    // The grid's quads may be turned over by the wind; none may be culled.
    QV::Gfx::IDevice* device = renderer->getDevice();
    if (device) device->setRenderState(QV::Gfx::RS_CULLMODE, QV::Gfx::CULL_NONE);
    renderer->draw(mRenderData);
    renderer->flush();
    if (device) device->setRenderState(QV::Gfx::RS_CULLMODE, QV::Gfx::CULL_NONE);
}

namespace {

void collectPlaceholders(AE::ISceneNode* node, std::vector<AE::ISceneNode*>& out) {
    for (AE::ISceneNode* child : node->mChildren) {
        if (startsWith(child->mName, kMeshPrefix)) {
            out.push_back(child);
        } else {
            collectPlaceholders(child, out);
        }
    }
}

}  // namespace

int replaceMeshPlaceholders(AE::ISceneNode* root) {
    if (!root) return 0;
    std::vector<AE::ISceneNode*> placeholders;
    collectPlaceholders(root, placeholders);
    int replaced = 0;
    for (AE::ISceneNode* placeholder : placeholders) {
        const bool attached = placeholder->mParent != nullptr;
        MeshSceneNode* mesh = new MeshSceneNode(placeholder);
        if (!attached) {
            delete mesh;
            continue;
        }
        mesh->play(true);
        ++replaced;
    }
    return replaced;
}
