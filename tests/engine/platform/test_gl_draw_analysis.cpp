#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gfx/gfx_types.h"
#include "platform/gfx/gl_draw_analysis.h"

namespace {

using namespace QV::Gfx;

TEST(GLDrawAnalysis, IndexRangeCoversTheIndicesAskedForAndStaysInTheBuffer) {
    const uint16_t narrow[] = {7, 3, 9, 4, 100};
    const uint32_t wide[] = {70000, 5, 12};
    const auto* n = reinterpret_cast<const uint8_t*>(narrow);
    const auto* w = reinterpret_cast<const uint8_t*>(wide);
    uint32_t low = 0, high = 0;
    ASSERT_TRUE(indexRange(n, sizeof narrow, false, 0, 4, &low, &high));
    EXPECT_EQ(low, 3u);
    EXPECT_EQ(high, 9u);
    ASSERT_TRUE(indexRange(n, sizeof narrow, false, 2, 3, &low, &high));
    EXPECT_EQ(low, 4u);
    EXPECT_EQ(high, 100u);
    ASSERT_TRUE(indexRange(w, sizeof wide, true, 0, 3, &low, &high));
    EXPECT_EQ(low, 5u);
    EXPECT_EQ(high, 70000u);
    EXPECT_FALSE(indexRange(n, sizeof narrow, false, 3, 3, &low, &high));  // past the end
    EXPECT_FALSE(indexRange(n, sizeof narrow, false, 0, 0, &low, &high));
    EXPECT_FALSE(indexRange(nullptr, 0, false, 0, 1, &low, &high));
}

TEST(GLDrawAnalysis, DiffuseScanTellsWhiteFromOpaqueFromNeither) {
    // Vertices of 24 bytes with the colour at byte 12, as the engine lays them out.
    const uint32_t stride = 24, offset = 12;
    auto vertices = [&](std::vector<uint32_t> colors) {
        std::vector<uint8_t> bytes(colors.size() * stride, 0xAB);
        for (size_t i = 0; i < colors.size(); ++i) std::memcpy(&bytes[i * stride + offset], &colors[i], 4);
        return bytes;
    };
    struct Case {
        const char* name;
        std::vector<uint32_t> colors;
        uint32_t first, last;
        bool white, opaque;
    } cases[] = {
        {"all white", {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}, 0, 2, true, true},
        {"one tinted", {0xFFFFFFFF, 0xFF80FFFF, 0xFFFFFFFF}, 0, 2, false, true},
        {"one translucent", {0xFFFFFFFF, 0xFEFFFFFF, 0xFFFFFFFF}, 0, 2, false, false},
        {"outside the range does not count", {0x00000000, 0xFFFFFFFF, 0xFFFFFFFF}, 1, 2, true, true},
        {"range past the buffer", {0xFFFFFFFF, 0xFFFFFFFF}, 0, 2, false, false},
        {"reversed range", {0xFFFFFFFF, 0xFFFFFFFF}, 1, 0, false, false},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes = vertices(c.colors);
        const DiffuseFacts facts = scanDiffuse(bytes.data(), bytes.size(), stride, offset, c.first, c.last);
        EXPECT_EQ(facts.white, c.white) << c.name;
        EXPECT_EQ(facts.opaque, c.opaque) << c.name;
    }
    const std::vector<uint8_t> one = vertices({0xFFFFFFFF});
    EXPECT_FALSE(scanDiffuse(one.data(), one.size(), stride, 22, 0, 0).opaque);  // colour would cross the vertex
}

TEST(GLDrawAnalysis, StageAlphaIsOneOnlyWhenEveryInputItUsesIs) {
    AlphaSources all;
    all.texture = all.diffuse = all.factor = true;
    AlphaSources textureOnly;
    textureOnly.texture = true;
    AlphaSources diffuseOnly;
    diffuseOnly.diffuse = true;
    struct Case {
        const char* name;
        uint32_t op, arg1, arg2;
        AlphaSources sources;
        bool one;
    } cases[] = {
        {"modulate, both one", TOP_MODULATE, TA_TEXTURE, TA_DIFFUSE, all, true},
        {"modulate, translucent diffuse", TOP_MODULATE, TA_TEXTURE, TA_DIFFUSE, textureOnly, false},
        {"modulate, texture with alpha", TOP_MODULATE, TA_TEXTURE, TA_DIFFUSE, diffuseOnly, false},
        {"select texture", TOP_SELECTARG1, TA_TEXTURE, TA_DIFFUSE, textureOnly, true},
        {"select diffuse", TOP_SELECTARG2, TA_TEXTURE, TA_DIFFUSE, diffuseOnly, true},
        {"current is the diffuse colour", TOP_SELECTARG1, TA_CURRENT, TA_TEXTURE, diffuseOnly, true},
        {"texture factor", TOP_SELECTARG1, TA_TFACTOR, TA_TEXTURE, all, true},
        {"complement of one is zero", TOP_SELECTARG1, TA_TEXTURE | TA_COMPLEMENT, TA_DIFFUSE, all, false},
        {"replicated alpha keeps the alpha", TOP_SELECTARG1, TA_TEXTURE | TA_ALPHAREPLICATE, TA_DIFFUSE, textureOnly,
         true},
        {"disabled passes the diffuse colour", TOP_DISABLE, TA_TEXTURE, TA_TEXTURE, diffuseOnly, true},
        {"add is not judged", TOP_ADD, TA_TEXTURE, TA_DIFFUSE, all, false},
    };
    for (const Case& c : cases) EXPECT_EQ(stageAlphaIsOne(c.op, c.arg1, c.arg2, c.sources), c.one) << c.name;
}

TEST(GLDrawAnalysis, AlphaTestIsLeftOutOnlyWhereNoPixelCouldTell) {
    PixelWrites blended;
    blended.blend = true;
    blended.sourceBlend = BLEND_SRCALPHA;
    blended.destinationBlend = BLEND_INVSRCALPHA;
    PixelWrites additive = blended;
    additive.destinationBlend = BLEND_ONE;
    PixelWrites opaqueAdd = blended;
    opaqueAdd.sourceBlend = BLEND_ONE;
    opaqueAdd.destinationBlend = BLEND_ONE;
    PixelWrites noBlend;
    PixelWrites depth = blended;
    depth.depthWrite = true;
    PixelWrites stencil = blended;
    stencil.stencil = true;
    PixelWrites solid = noBlend;
    solid.sourceAlphaIsOne = true;
    struct Case {
        const char* name;
        uint32_t func, ref;
        PixelWrites writes;
        bool nothing;
    } cases[] = {
        {"alpha >= 1 under source-alpha blending", CMP_GREATEREQUAL, 1, blended, true},
        {"alpha > 0 under additive blending", CMP_GREATER, 0, additive, true},
        {"alpha != 0", CMP_NOTEQUAL, 0, blended, true},
        {"only the low byte of the reference counts", CMP_GREATEREQUAL, 0x101, blended, true},
        {"alpha >= 2 rejects a visible alpha of 1", CMP_GREATEREQUAL, 2, blended, false},
        {"alpha > 0 when the source adds itself whole", CMP_GREATER, 0, opaqueAdd, false},
        {"alpha >= 1 without blending", CMP_GREATEREQUAL, 1, noBlend, false},
        {"alpha >= 1 with depth writes", CMP_GREATEREQUAL, 1, depth, false},
        {"alpha >= 1 with a stencil test", CMP_GREATEREQUAL, 1, stencil, false},
        {"alpha >= 200 when every source alpha is one", CMP_GREATEREQUAL, 200, solid, true},
        {"alpha < 200 when every source alpha is one", CMP_LESS, 200, solid, false},
        {"never", CMP_NEVER, 0, blended, false},
    };
    for (const Case& c : cases) EXPECT_EQ(alphaTestChangesNothing(c.func, c.ref, c.writes), c.nothing) << c.name;
}

// Window of 64 x 48 pixels; positions in pixels from the top left (y down),
// as the renderer's projection hands them over.
WindowMapping pixelMapping() {
    WindowMapping m;
    const float w = 64, h = 48;
    m.transform[0] = 2 / w;
    m.transform[5] = -2 / h;
    m.transform[10] = 1;
    m.transform[12] = -1;
    m.transform[13] = 1;
    m.transform[15] = 1;
    m.viewportWidth = w;
    m.viewportHeight = h;
    return m;
}

struct TexVertex {
    float x, y, z;
    uint32_t color;
    float u, v;
};

TEST(GLDrawAnalysis, TexelsLandOnPixelsOnlyOneToOneOnPixelCentres) {
    const uint16_t quadIndices[6] = {0, 1, 2, 2, 3, 0};
    // A 4 x 4 texture on the quad (x0, y0)-(x1, y1); uv gives the corners'
    // coordinates in the order top-left, top-right, bottom-right, bottom-left.
    auto quad = [](float x0, float y0, float x1, float y1, std::vector<float> uv) {
        std::vector<TexVertex> v = {{x0, y0, 0, 0, uv[0], uv[1]},
                                    {x1, y0, 0, 0, uv[2], uv[3]},
                                    {x1, y1, 0, 0, uv[4], uv[5]},
                                    {x0, y1, 0, 0, uv[6], uv[7]}};
        return v;
    };
    const std::vector<float> plain = {0, 0, 1, 0, 1, 1, 0, 1};
    const std::vector<float> mirrored = {1, 0, 0, 0, 0, 1, 1, 1};
    const std::vector<float> turned = {0, 1, 0, 0, 1, 0, 1, 1};
    const float nudge = 1.0f / 4096.0f / 4.0f;  // a 4096th of a texel
    const std::vector<float> nudged = {nudge, 0, 1 + nudge, 0, 1 + nudge, 1, nudge, 1};
    const std::vector<float> slipped = {0.01f, 0, 1.01f, 0, 1.01f, 1, 0.01f, 1};
    struct Case {
        const char* name;
        std::vector<TexVertex> vertices;
        bool lands;
    } cases[] = {
        {"one to one", quad(10, 20, 14, 24, plain), true},
        {"mirrored", quad(10, 20, 14, 24, mirrored), true},
        {"turned a quarter", quad(10, 20, 14, 24, turned), true},
        {"a 4096th of a texel off", quad(10, 20, 14, 24, nudged), true},
        {"a hundredth of a texture off", quad(10, 20, 14, 24, slipped), false},
        {"half a pixel off", quad(10.5f, 20, 14.5f, 24, plain), false},
        {"twice the size", quad(10, 20, 18, 28, plain), false},
        {"squeezed on one axis", quad(10, 20, 14, 22, plain), false},
    };
    const WindowMapping mapping = pixelMapping();
    TriangleSource triangles;
    triangles.type = PT_TRIANGLELIST;
    triangles.count = 2;
    triangles.indices = reinterpret_cast<const uint8_t*>(quadIndices);
    triangles.indexBytes = sizeof quadIndices;
    for (const Case& c : cases) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(c.vertices.data());
        const size_t size = c.vertices.size() * sizeof(TexVertex);
        EXPECT_EQ(texelsLandOnPixels(bytes, size, 24, 16, triangles, mapping, 4, 4), c.lands) << c.name;
    }

    const std::vector<TexVertex> good = quad(10, 20, 14, 24, plain);
    const auto* bytes = reinterpret_cast<const uint8_t*>(good.data());
    const size_t size = good.size() * sizeof(TexVertex);
    EXPECT_FALSE(texelsLandOnPixels(bytes, size, 24, 16, triangles, mapping, 8, 4)) << "texture twice as wide";
    TriangleSource past = triangles;
    past.count = 3;  // a third triangle would read past the indices
    EXPECT_FALSE(texelsLandOnPixels(bytes, size, 24, 16, past, mapping, 4, 4));
    past = triangles;
    past.baseVertex = 1;  // the last corner would read past the vertices
    EXPECT_FALSE(texelsLandOnPixels(bytes, size, 24, 16, past, mapping, 4, 4));
    EXPECT_FALSE(texelsLandOnPixels(bytes, size, 24, 20, triangles, mapping, 4, 4)) << "coordinates cross the vertex";
    WindowMapping perspective = mapping;
    perspective.transform[7] = 0.01f;  // w grows with y
    EXPECT_FALSE(texelsLandOnPixels(bytes, size, 24, 16, triangles, perspective, 4, 4));

    // The same quad as a strip and as a fan, without indices.
    const std::vector<TexVertex> strip = {good[0], good[1], good[3], good[2]};
    TriangleSource unindexed;
    unindexed.type = PT_TRIANGLESTRIP;
    unindexed.count = 2;
    EXPECT_TRUE(texelsLandOnPixels(reinterpret_cast<const uint8_t*>(strip.data()), size, 24, 16, unindexed, mapping,
                                   4, 4));
    unindexed.type = PT_TRIANGLEFAN;
    EXPECT_TRUE(texelsLandOnPixels(bytes, size, 24, 16, unindexed, mapping, 4, 4));
    unindexed.firstVertex = 1;
    EXPECT_FALSE(texelsLandOnPixels(bytes, size, 24, 16, unindexed, mapping, 4, 4)) << "past the vertices";
}

}  // namespace
