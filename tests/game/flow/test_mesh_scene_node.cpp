#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "engine/animationeditor/scene_world.h"
#include "flow/mesh_scene_node.h"
#include "flow/mesh_transformer.h"

namespace {

using scenetest::obj;
using scenetest::sceneXml;

// A scene with one placeholder sprite (the 16 x 16 first frame of the 64 x 32
// picture) at (100, 50), scaled to 64 x 32, carrying the given marker names.
std::string placeholderScene(const std::vector<std::string>& markers, const std::string& name = "#mesh:water",
                             float rotation = 0.0f) {
    std::string markerText = "<markers>";
    for (const std::string& m : markers) markerText += scenetest::markerXml(m, {});
    markerText += "</markers>";
    std::string params = "X=\"100\" Y=\"50\" scaleX=\"4\" scaleY=\"2\" angle=\"" + std::to_string(rotation) +
                         "\" R=\"1\" G=\"1\" B=\"1\" A=\"1\" Enable=\"1\"";
    scenetest::Obj holder = obj("", "holder", "scaleX=\"1\" scaleY=\"1\" R=\"1\" G=\"1\" B=\"1\" A=\"1\" Enable=\"1\"");
    holder.childs = {obj("Sprite", name, params, {}, "", "filename=\"frames_sprites\" tablename=\"strip\"", {}, markerText)};
    return sceneXml({holder});
}

struct MeshScene {
    explicit MeshScene(const std::vector<std::string>& markers, float rotation = 0.0f)
        : world({{"mesh_xml", placeholderScene(markers, "#mesh:water", rotation)}}), root(AE::loadScene("mesh_xml")) {
        EXPECT_TRUE(root);
        EXPECT_EQ(replaceMeshPlaceholders(root.get()), 1);
        mesh = dynamic_cast<MeshSceneNode*>(root->mChildren[0]->mChildren[0]);
        EXPECT_NE(mesh, nullptr);
    }
    scenetest::SceneWorld world;
    std::unique_ptr<AE::ISceneNode> root;
    MeshSceneNode* mesh = nullptr;
};

TEST(MeshSceneNode, PlaceholderIsReplacedInPlaceWithItsGridOfSeparateQuads) {
    struct Case {
        std::vector<std::string> markers;
        uint32_t x, y;
    };
    for (const Case& c : {Case{{"#segments:8,2", "#transformer:Water"}, 8, 2}, Case{{"#transformer:Water"}, 16, 1},
                          Case{{"#segments:3 4", "#transformer:Wind"}, 3, 4}}) {
        MeshScene s(c.markers);
        ASSERT_NE(s.mesh, nullptr);
        EXPECT_EQ(s.mesh->mName, "#mesh:water");
        EXPECT_EQ(s.mesh->mParent, s.root->mChildren[0]);
        EXPECT_EQ(s.root->mChildren[0]->mChildren.size(), 1u);  // the placeholder is gone
        EXPECT_EQ(s.mesh->segmentsX(), c.x);
        EXPECT_EQ(s.mesh->segmentsY(), c.y);
        EXPECT_EQ(s.mesh->vertexCount(), c.x * c.y * 4);
        EXPECT_FLOAT_EQ(s.mesh->width(), 64.0f);
        EXPECT_FLOAT_EQ(s.mesh->height(), 32.0f);
        EXPECT_TRUE(s.mesh->mPlaying);
        // Quad (row 0, column 1) starts one cell right of the node's place; its neighbour's corner is a copy.
        const float cw = 64.0f / float(c.x);
        EXPECT_FLOAT_EQ(s.mesh->vertexPosition(4).x, 100.0f + cw);
        EXPECT_FLOAT_EQ(s.mesh->vertexPosition(4).y, 50.0f);
        EXPECT_EQ(s.mesh->vertexPosition(1), s.mesh->vertexPosition(4));
        EXPECT_FLOAT_EQ(s.mesh->vertexZ(2), 1.0f);
        // The first frame is a sub-rectangle of the texture: every vertex stays inside it.
        for (uint32_t v = 0; v < s.mesh->vertexCount(); ++v) {
            const QV::Vector2<float> uv = s.mesh->vertexTexCoord(v);
            EXPECT_GE(uv.x, 0.0f);
            EXPECT_LE(uv.x, 16.0f / 64.0f + 1e-6f);
            EXPECT_GE(uv.y, 0.0f);
            EXPECT_LE(uv.y, 16.0f / 32.0f + 1e-6f);
        }
        EXPECT_FLOAT_EQ(s.mesh->vertexTexCoord(s.mesh->vertexCount() - 2).x, 0.25f);
    }
}

TEST(MeshSceneNode, NestedPlaceholdersAreNotSearchedAndUnknownTransformersLeaveTheMeshStill) {
    scenetest::Obj outer = obj("", "#mesh:outer", "scaleX=\"1\" scaleY=\"1\" Enable=\"1\"");
    outer.childs = {obj("", "#mesh:inner", "scaleX=\"1\" scaleY=\"1\" Enable=\"1\"")};
    outer.extra = "<markers>" + scenetest::markerXml("#transformer:Fire", {}) + "</markers>";
    scenetest::SceneWorld world({{"nest_xml", sceneXml({outer})}});
    std::unique_ptr<AE::ISceneNode> root(AE::loadScene("nest_xml"));
    ASSERT_TRUE(root);
    EXPECT_EQ(replaceMeshPlaceholders(root.get()), 1);
    EXPECT_TRUE(world.log().has("ERROR: Not found mesh transformer by \"Fire\" name!"));
    MeshSceneNode* mesh = dynamic_cast<MeshSceneNode*>(root->mChildren[0]);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->transformer(), nullptr);
    const QV::Vector2<float> before = mesh->vertexPosition(5);
    root->update(0.5f);
    mesh->setTime(2.0f, true);
    EXPECT_EQ(mesh->vertexPosition(5), before);
}

TEST(MeshSceneNode, MarkerNamesReadLikeTheirNumberConversions) {
    int x = 0, y = 0, location = 7;
    EXPECT_TRUE(MeshMarkers::readSegments("#segments:12x-3", &x, &y));
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, -3);
    EXPECT_FALSE(MeshMarkers::readSegments("x#segments:1,1", &x, &y));
    EXPECT_TRUE(MeshMarkers::readLocation("wave #location:-1", &location));
    EXPECT_EQ(location, -1);
    float f = 0.0f;
    EXPECT_TRUE(MeshMarkers::readFloat("#speed:2.5", "#speed:", &f));
    EXPECT_FLOAT_EQ(f, 2.5f);
    EXPECT_FALSE(MeshMarkers::readFloat("#phase:1", "#speed:", &f));
}

TEST(WaterMeshTransformer, ColumnsMoveOnTheirOwnAtLocationOneAndAlongTheGridAtLocationZero) {
    {
        MeshScene s({"#segments:4,1", "#transformer:Water", "#location:1"});
        auto* water = dynamic_cast<WaterMeshTransformer*>(s.mesh->transformer());
        ASSERT_NE(water, nullptr);
        EXPECT_EQ(water->location(), 1);
        s.mesh->updateDerived(0.5f);
        for (uint32_t j = 0; j < 4; ++j) {
            const float d = 4.0f * std::sin(0.3926991f * 0.5f * float(j) + 1.5707964f);
            for (uint32_t k = 0; k < 4; ++k) {
                const uint32_t v = j * 4 + k;
                EXPECT_NEAR(s.mesh->vertexPosition(v).y, s.mesh->basePosition(v).y + d, 1e-4f) << v;
                EXPECT_FLOAT_EQ(s.mesh->vertexPosition(v).x, s.mesh->basePosition(v).x);
            }
        }
        EXPECT_NEAR(s.mesh->vertexPosition(0).y, 54.0f, 1e-4f);  // column 0 sits at d = 4
        EXPECT_NE(s.mesh->vertexPosition(1).y, s.mesh->vertexPosition(4).y);  // shared edges separate
    }
    {
        MeshScene s({"#segments:4,1", "#transformer:Water"});
        s.mesh->setTime(0.25f, false);
        EXPECT_FLOAT_EQ(s.mesh->transformer()->time(), 0.25f);
        s.mesh->updateDerived(0.25f);
        for (uint32_t v = 0; v < s.mesh->vertexCount(); ++v) {
            const QV::Vector2<float> base = s.mesh->basePosition(v);
            const float d = 4.0f * std::sin(0.3926991f * (base.x - 100.0f) + 0.5f);
            EXPECT_NEAR(s.mesh->vertexPosition(v).y, base.y + d, 1e-4f) << v;
        }
        // Corners shared by neighbours move together: the wave is continuous.
        EXPECT_EQ(s.mesh->vertexPosition(1), s.mesh->vertexPosition(4));
    }
}

// Where a point lands when turned by `degrees` around (cx, cy).
QV::Vector2<float> turned(QV::Vector2<float> p, float cx, float cy, float degrees) {
    const float r = degrees * 0.017453292f;
    return QV::Vector2<float>(cx + std::cos(r) * (p.x - cx) - std::sin(r) * (p.y - cy),
                              cy + std::cos(r) * (p.y - cy) + std::sin(r) * (p.x - cx));
}

TEST(WindMeshTransformer, RightEdgeKeepsTheStiffnessShareOfTheRotationAndTheTopEdgeCanStayFixed) {
    struct Case {
        const char* stiffness;
        float share;
    };
    for (const Case& c : {Case{"#stiffness:1", 0.35f}, Case{"#stiffness:0", 1.0f}, Case{"#stiffness:0.5", 0.675f}}) {
        MeshScene s({"#segments:4,2", "#transformer:Wind", c.stiffness}, 20.0f);
        auto* wind = dynamic_cast<WindMeshTransformer*>(s.mesh->transformer());
        ASSERT_NE(wind, nullptr);
        s.mesh->updateDerived(0.1f);
        const QV::Vector2<float> origin = s.mesh->worldOrigin();
        // Right-edge corners (u = 1) carry no wave: only the share of the node's rotation.
        for (uint32_t q : {3u, 7u}) {
            for (uint32_t k : {1u, 2u}) {
                const uint32_t v = q * 4 + k;
                const QV::Vector2<float> want =
                    turned(s.mesh->basePosition(v), origin.x + 64.0f, origin.y, 20.0f * c.share);
                EXPECT_NEAR(s.mesh->vertexPosition(v).x, want.x, 1e-3f) << c.stiffness << " " << v;
                EXPECT_NEAR(s.mesh->vertexPosition(v).y, want.y, 1e-3f) << c.stiffness << " " << v;
            }
        }
    }
    MeshScene s({"#segments:4,2", "#transformer:Wind", "#fixedTopEdge", "#speed:2", "#phase:0.3"}, 20.0f);
    auto* wind = dynamic_cast<WindMeshTransformer*>(s.mesh->transformer());
    ASSERT_NE(wind, nullptr);
    EXPECT_TRUE(wind->mFixedTopEdge);
    EXPECT_FLOAT_EQ(wind->mSpeed, 2.0f);
    EXPECT_FLOAT_EQ(wind->mPhase, 0.3f);
    bool bottomMoved = false;
    for (int step = 0; step < 5; ++step) {
        s.mesh->updateDerived(0.2f);
        for (uint32_t q = 0; q < 4; ++q) {
            for (uint32_t k : {0u, 1u}) EXPECT_FLOAT_EQ(s.mesh->vertexPosition(q * 4 + k).y, s.mesh->basePosition(q * 4 + k).y);
            if (s.mesh->vertexPosition(16 + q * 4 + 3).y != s.mesh->basePosition(16 + q * 4 + 3).y) bottomMoved = true;
        }
    }
    EXPECT_TRUE(bottomMoved);
}

}  // namespace
