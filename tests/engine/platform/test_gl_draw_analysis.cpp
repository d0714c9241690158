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

}  // namespace
