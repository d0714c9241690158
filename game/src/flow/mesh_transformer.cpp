#include "flow/mesh_transformer.h"

#include <cmath>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "flow/mesh_scene_node.h"

namespace {

const float kDegreesToRadians = 0.017453292f;

// Corner k of a quad in grid order: top left, top right, bottom right, bottom left.
const int kCornerColumn[4] = {0, 1, 1, 0};
const int kCornerRow[4] = {0, 0, 1, 1};

}  // namespace

MeshTransformer* MeshTransformer::create(const std::string& name, MeshSceneNode* node, AE::ISceneNode* placeholder) {
    if (name == "Water") {
        // Without a location marker the wave travels along the grid.
        int location = 0;
        for (const AE::Marker* marker : placeholder->mMarkers) MeshMarkers::readLocation(marker->getName(), &location);
        return new WaterMeshTransformer(node, location);
    }
    if (name == "Wind") {
        WindMeshTransformer* wind = new WindMeshTransformer(node);
        for (const AE::Marker* marker : placeholder->mMarkers) {
            const std::string& n = marker->getName();
            MeshMarkers::readFloat(n, "#phase:", &wind->mPhase);
            MeshMarkers::readFloat(n, "#stiffness:", &wind->mStiffness);
            MeshMarkers::readFloat(n, "#speed:", &wind->mSpeed);
            if (n.compare(0, 13, "#fixedTopEdge") == 0) wind->mFixedTopEdge = true;
        }
        return wind;
    }
    return nullptr;
}

void WaterMeshTransformer::update(float dt) {
    mTime += dt;
    const uint32_t columns = mNode->segmentsX();
    const uint32_t quads = mNode->vertexCount() / 4;
    const float originX = mNode->worldOrigin().x;
    for (uint32_t q = 0; q < quads; ++q) {
        const uint32_t j = q % columns;
        for (uint32_t k = 0; k < 4; ++k) {
            const uint32_t v = q * 4 + k;
            const QV::Vector2<float>& corner = mNode->basePosition(v);
            float d = 0.0f;
            if (mLocation == 0) {
                d = 4.0f * std::sin(0.3926991f * (mNode->vertexPosition(v).x - originX) + mTime);
            } else if (mLocation == 1) {
                d = 4.0f * std::sin(0.3926991f * mTime * float(j) + 1.5707964f);
            }
            mNode->setVertexPosition(v, QV::Vector2<float>(corner.x, corner.y + d));
        }
    }
}

void WindMeshTransformer::update(float dt) {
    mTime += dt;
    const float t = mSpeed * (mTime + mPhase);
    const float w = mNode->width();
    const float h = mNode->height();
    const QV::Vector2<float> origin = mNode->worldOrigin();
    const float rotation = mNode->getWorldRotation();
    const uint32_t columns = mNode->segmentsX();
    const uint32_t rows = mNode->segmentsY();
    const uint32_t quads = mNode->vertexCount() / 4;
    const float cx = origin.x + w;
    const float cy = origin.y;
    for (uint32_t q = 0; q < quads; ++q) {
        const uint32_t i = q / columns;
        const uint32_t j = q % columns;
        for (uint32_t k = 0; k < 4; ++k) {
            const uint32_t v = q * 4 + k;
            const float u = float(j + uint32_t(kCornerColumn[k])) / float(columns);
            const float vv = float(i + uint32_t(kCornerRow[k])) / float(rows);
            const float a = (1.0f - u) * (1.0f - u);
            const QV::Vector2<float>& base = mNode->basePosition(v);
            const float angle = rotation * (1.0f - 0.65f * u * mStiffness) * kDegreesToRadians;
            const float c = std::cos(angle), s = std::sin(angle);
            float px = cx + c * (base.x - cx) - s * (base.y - cy);
            float py = cy + c * (base.y - cy) + s * (base.x - cx);
            float nx = px - origin.x, ny = py - origin.y;
            const float length = std::sqrt(nx * nx + ny * ny);
            if (length > 0.0f) {
                nx /= length;
                ny /= length;
            }
            // Guard the wave's scale against a flat node.
            const float wave = h != 0.0f ? 0.4f * h : 1.0f;
            const float along = 0.05f * h * vv * a * std::sin(px / wave - 5.0f * t);
            px -= along * nx;
            py -= along * ny;
            const float mx = ny, my = -nx;
            const float across = 0.05f * h * (1.0f - vv) * a * std::sin(px / wave - 5.0f * t);
            px -= across * mx;
            py -= across * my;
            const float xp = mNode->vertexPosition(v).x;
            const float hh = h != 0.0f ? h : 1.0f;
            const float kk = xp / hh - t;
            const float hw = std::sin(2.0f * t - xp / hh) * (std::sin(-kk) + std::sin(-2.0f * kk)) / 2.0f;
            const float dy = (1.25f - a) * (h / 2.0f) * a * hw;
            float y = py + dy;
            if (mFixedTopEdge) y = base.y + vv * (py + dy - base.y);
            mNode->setVertexPosition(v, QV::Vector2<float>(px, y));
        }
    }
}
