#include <gtest/gtest.h>

#include <map>

#include "config_manager.h"
#include "render_data.h"
#include "vertex_format.h"

namespace {

using QV::VertexLayout;

TEST(VertexLayout, FormatTable) {
    struct Case {
        int format;
        uint32_t stride, fvf, position, normal, diffuse, tex0;
    } cases[] = {
        {21, 24, 0x142, 0, 12, 12, 16},
        {23, 36, 0x152, 0, 12, 24, 28},
        {5, 16, 0x042, 0, 12, 12, 16},  // no texture set: offset where it would stand
        {1 | 16 | 32, 28, 0x302, 0, 12, 12, 12},
        {1 | 4096, 12, 0x002, 0, 12, 12, 12},  // bits above 2048 have no size
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VertexLayout::updateFor(c.format), c.stride) << c.format;
        EXPECT_EQ(VertexLayout::fvfFor(c.format), c.fvf) << c.format;
        EXPECT_EQ(VertexLayout::positionOffset(), c.position) << c.format;
        EXPECT_EQ(VertexLayout::normalOffset(), c.normal) << c.format;
        EXPECT_EQ(VertexLayout::diffuseOffset(), c.diffuse) << c.format;
        EXPECT_EQ(VertexLayout::texCoordOffset(0), c.tex0) << c.format;
    }
}

TEST(VertexLayout, FollowsTheConfiguredFormat) {
    QV::ConfigManager config;
    config.setVertexFormat(23);
    EXPECT_EQ(VertexLayout::update(), 36u);
    EXPECT_EQ(VertexLayout::fvf(), 0x152u);
    config.setVertexFormat(21);
    EXPECT_EQ(VertexLayout::update(), 24u);
    EXPECT_EQ(VertexLayout::sFormat, 21);
    EXPECT_EQ(VertexLayout::update(), 24u);
}

// Counts references through the hooks the texture manager installs.
std::map<QV::Texture*, int> gRefs;
int gNullReleases = 0;

struct HookScope {
    HookScope() {
        gRefs.clear();
        gNullReleases = 0;
        QV::TextureReferenceHooks hooks;
        hooks.retain = [](QV::Texture* t) { ++gRefs[t]; };
        hooks.release = [](QV::Texture* t) {
            if (t) --gRefs[t];
            else ++gNullReleases;
        };
        QV::setTextureReferenceHooks(hooks);
    }
    ~HookScope() { QV::setTextureReferenceHooks(QV::TextureReferenceHooks()); }
};

TEST(RenderData, DefaultsCopyAndReferences) {
    HookScope hooks;
    VertexLayout::updateFor(21);
    auto* texture = reinterpret_cast<QV::Texture*>(0x1000);
    auto* other = reinterpret_cast<QV::Texture*>(0x2000);
    {
        QV::RenderData a;
        EXPECT_EQ(a.mVertices, nullptr);
        EXPECT_EQ(a.mPrimitiveKind, 0);
        EXPECT_EQ(a.mBlendMode, 0);
        EXPECT_EQ(a.mCopiedFlag, 1);
        EXPECT_EQ(a.mAddressMode, 0);
        EXPECT_EQ(a.mCopiedValue, 0);

        uint8_t* v = a.allocateVertices(4);
        for (int i = 0; i < 4 * 24; ++i) v[i] = uint8_t(i);
        a.addTexture(texture);
        a.addTexture(texture);
        a.addTexture(nullptr);
        a.mBlendMode = 2;
        a.mAddressMode = 1;
        a.mCopiedValue = 7;
        EXPECT_EQ(gRefs[texture], 2);
        {
            QV::RenderData copy(a);
            EXPECT_EQ(gRefs[texture], 4);  // the same texture twice: two more
            ASSERT_EQ(copy.vertexCount(), 4u);
            EXPECT_NE(copy.vertexData(), a.vertexData());
            EXPECT_EQ(copy.vertexData()[95], 95);
            EXPECT_EQ(copy.mBlendMode, 2);
            EXPECT_EQ(copy.mAddressMode, 1);
            EXPECT_EQ(copy.mCopiedValue, 7);
            EXPECT_EQ(copy.mTextures.size(), 3u);
        }
        EXPECT_EQ(gRefs[texture], 2);
        EXPECT_EQ(gNullReleases, 1);  // the null entry is handed back too

        QV::RenderData b;
        b.addTexture(other);
        b.mTextures.push_back(nullptr);
        b.append(a);  // non-null entries only
        EXPECT_EQ(b.mTextures.size(), 4u);
        EXPECT_EQ(gRefs[texture], 4);
        EXPECT_EQ(b.vertexCount(), 0u);  // vertices untouched
        b = a;
        EXPECT_EQ(gRefs[other], 0);
        EXPECT_EQ(gRefs[texture], 4);
    }
    EXPECT_EQ(gRefs[texture], 0);
    EXPECT_EQ(gRefs[other], 0);
}

}  // namespace
