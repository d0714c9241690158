#include "sprite.h"

#include <cmath>

#include "animation_lua_values.h"
#include "format_string.h"
#include "log_system.h"
#include "lua_script2.h"
#include "render_data.h"
#include "report_assert.h"
#include "sprite_description.h"
#include "sprite_texture_access.h"
#include "vertex_format.h"
#include "xml_data_reader.h"

namespace QV {

namespace {

const Color kOpaqueWhite = Color::fromBytes(255, 255, 255, 255);

void newQuad(RenderData*& data) {
    delete data;
    data = new RenderData();
    data->allocateVertices(4);  // zeroed: every z is 0
}

// Mesh sizes come from data: refuse what cannot be a grid.
uint32_t checkedMeshSize(bool found, int value) {
    if (!found || value <= 0 || static_cast<uint32_t>(value) > Sprite::kMaxMeshCells) {
        QV_FATAL("Bad mesh size specified");
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

Sprite::Sprite() = default;

Sprite::~Sprite() {
    delete mQuadData;
    delete mMeshData;
}

Sprite::Sprite(const Sprite& other)
    : mAngle(other.mAngle),
      mFrames(other.mFrames),
      mPosition(other.mPosition),
      mRotationCenter(other.mRotationCenter),
      mScale(other.mScale),
      mSize(other.mSize),
      mClipRect(other.mClipRect),
      mClip(other.mClip),
      mMirrorH(other.mMirrorH),
      mMirrorV(other.mMirrorV),
      mBasePoints(other.mBasePoints),
      mSizeX(other.mSizeX),
      mSizeY(other.mSizeY),
      mDirty(other.mDirty),
      mMeshDescribed(other.mMeshDescribed),
      mTexCoords(other.mTexCoords) {
    if (other.mQuadData) mQuadData = new RenderData(*other.mQuadData);
    if (other.mMeshData) {
        mMeshData = new RenderData(*other.mMeshData);
        bindVertexPointers();
    }
    updateTexCoords();
    finishTextures();
}

void Sprite::loadFromScript(const std::string& script, const std::string& table, const std::string& package) {
    LuaScript2 lua(createLuaState());
    if (!lua.loadScript(script, package)) {
        QV_FATAL(formatString("Failed to load script '%s' from package '%s' ", script.c_str(), package.c_str()));
    }
    if (!lua.openTable(table.c_str())) {
        QV_FATAL(formatString("Failed to open table '%s' in script '%s' from package '%s' ", table.c_str(),
                              script.c_str(), package.c_str()));
    }
    parseTable(lua);
}

int Sprite::tryLoadFromScript(const std::string& script, const std::string& table, const std::string& package) {
    LuaScript2 lua(createLuaState());
    if (!lua.loadScript(script, package) || !lua.openTable(table.c_str())) {
        logLine(formatString("ERROR: Failed to load sprite %s %s", script.c_str(), table.c_str()));
        return 1;
    }
    parseTable(lua);
    return 0;
}

void Sprite::parseTable(LuaScript2& script) {
    newQuad(mQuadData);
    readLuaPair(script, "Pos", &mPosition);
    script.getBool("MirrorH", &mMirrorH);
    script.getBool("MirrorV", &mMirrorV);
    readLuaFloat(script, "Angle", &mAngle);
    std::string blend;
    bool hasBlend = script.getString("BlendMode", &blend);
    applyBlendWord(mQuadData, hasBlend, blend);
    parseFrames(script);
    if (!readLuaPair(script, "Size", &mSize)) {
        mSize = Vector2<float>();
        if (!mQuadData->mTextures.empty() && mQuadData->mTextures[0] && !mFrames.empty()) {
            mSize = Vector2<float>(mFrames[0].width(), mFrames[0].height());
        }
    }
    if (!readLuaPair(script, "rotCenter", &mRotationCenter)) mRotationCenter = mSize * 0.5f;
    if (!readLuaRect(script, "ClipRect", &mClipRect)) mClipRect = defaultClipRect();
    parseMesh(script);
    updateTexCoords();
    finishTextures();
}

void Sprite::parseXml(XmlDataReader& reader) {
    newQuad(mQuadData);
    reader.readVector2("Pos", &mPosition);
    reader.readBool("MirrorH", &mMirrorH);
    reader.readBool("MirrorV", &mMirrorV);
    reader.readFloat("Angle", &mAngle);
    std::string blend;
    bool hasBlend = reader.readString("BlendMode", &blend);
    applyBlendWord(mQuadData, hasBlend, blend);
    parseFrames(reader);
    if (!reader.readVector2("Size", &mSize)) {
        mSize = Vector2<float>();
        if (!mQuadData->mTextures.empty() && mQuadData->mTextures[0] && !mFrames.empty()) {
            mSize = Vector2<float>(mFrames[0].width(), mFrames[0].height());
        }
    }
    if (!reader.readVector2("rotCenter", &mRotationCenter)) mRotationCenter = mSize * 0.5f;
    if (!reader.readRect("ClipRect", &mClipRect)) mClipRect = defaultClipRect();
    parseMesh(reader);
    updateTexCoords();
    finishTextures();
}

void Sprite::parseFrames(LuaScript2& script) { parseSpriteFrames(script, mQuadData, mFrames); }

void Sprite::parseFrames(XmlDataReader& reader) { parseSpriteFrames(reader, mQuadData, mFrames); }

void Sprite::setGridSize(uint32_t sizeX, uint32_t sizeY) {
    mSizeX = sizeX;
    mSizeY = sizeY;
    mBasePoints.assign(gridPointCount(), Vector2<float>());
    rebuildMeshGrid();
    mTexCoords.assign(gridPointCount(), Vector2<float>());
    initTexCoords();
}

void Sprite::newMeshData(const Color& color) {
    delete mMeshData;
    mMeshData = new RenderData();
    mMeshData->allocateVertices(gridPointCount());
    bindVertexPointers();
    for (Color* c : mColorPointers) *c = color;
}

void Sprite::parseMesh(LuaScript2& script) {
    lua_State* L = script.state();
    Color color;
    if (!readLuaColorBytes(script, "Color", &color)) color = kOpaqueWhite;
    if (!script.openTable("Mesh")) {
        mMeshDescribed = false;
        setGridSize(1, 1);
        newMeshData(color);
        return;
    }
    mMeshDescribed = true;
    int sizeX = 0, sizeY = 0;
    script.pushField("sizeX");
    bool hasX = script.topToInt(&sizeX);
    lua_pop(L, 1);
    script.pushField("sizeY");
    bool hasY = script.topToInt(&sizeY);
    lua_pop(L, 1);
    // Either size missing or zero is the same fault.
    uint32_t cellsX = checkedMeshSize(hasX, sizeX);
    uint32_t cellsY = checkedMeshSize(hasY, sizeY);
    setGridSize(cellsX, cellsY);
    std::vector<Color> colors(gridPointCount(), color);
    if (script.openTable("Vertecies")) {
        lua_checkstack(L, 8);
        lua_pushnil(L);
        while (lua_next(L, -2) != 0) {
            if (script.openTopTable()) {
                int x = 0, y = 0;
                script.pushField("x");
                script.topToInt(&x);
                lua_pop(L, 1);
                script.pushField("y");
                script.topToInt(&y);
                lua_pop(L, 1);
                const int64_t index = int64_t(y) * (int64_t(mSizeX) + 1) + x;
                if (index < 0 || index >= int64_t(gridPointCount())) QV_FATAL("Bad index specified");
                Vector2<float> base, uv;
                Color vertexColor;
                readLuaPair(script, "Pos", &base);
                readLuaColorBytes(script, "Color", &vertexColor);
                readLuaPair(script, "uv", &uv);
                mBasePoints[index] = base;
                colors[index] = vertexColor;
                mTexCoords[index] = uv;
                script.closeTable();
            }
            lua_pop(L, 1);
        }
        script.closeTable();
    }
    script.closeTable();
    newMeshData(color);
    for (uint32_t i = 0; i < gridPointCount(); ++i) *mColorPointers[i] = colors[i];
}

void Sprite::parseMesh(XmlDataReader& reader) {
    Color color;
    if (!reader.readColor("Color", &color)) color = kOpaqueWhite;
    pugi::xml_node element = reader.getCurrentNode();
    if (!reader.gotoChild("Mesh")) {
        mMeshDescribed = false;
        setGridSize(1, 1);
        newMeshData(color);
        return;
    }
    pugi::xml_node mesh = reader.getCurrentNode();
    mMeshDescribed = true;
    int sizeX = 0, sizeY = 0;
    bool hasX = reader.readInt("sizeX", &sizeX);
    bool hasY = reader.readInt("sizeY", &sizeY);
    uint32_t cellsX = checkedMeshSize(hasX, sizeX);
    uint32_t cellsY = checkedMeshSize(hasY, sizeY);
    setGridSize(cellsX, cellsY);
    std::vector<Color> colors(gridPointCount(), color);
    pugi::xml_node vertecies = mesh.child("Vertecies");
    for (uint32_t k = 0; vertecies; ++k) {
        pugi::xml_node vertex = vertecies.child(formatString("v%u", k).c_str());
        if (!vertex) break;
        reader.setCurrentNode(vertex);
        int x = 0, y = 0;
        reader.readInt("x", &x);
        reader.readInt("y", &y);
        const int64_t index = int64_t(y) * (int64_t(mSizeX) + 1) + x;
        if (index < 0 || index >= int64_t(gridPointCount())) QV_FATAL("Bad index specified");
        Vector2<float> base, uv;
        Color vertexColor;
        reader.readVector2("Pos", &base);
        reader.readColor("Color", &vertexColor);  // opaque white when absent
        reader.readVector2("uv", &uv);
        mBasePoints[index] = base;
        colors[index] = vertexColor;
        mTexCoords[index] = uv;
    }
    reader.setCurrentNode(element);
    newMeshData(color);
    for (uint32_t i = 0; i < gridPointCount(); ++i) *mColorPointers[i] = colors[i];
}

void Sprite::bindVertexPointers() {
    VertexLayout::update();
    const uint32_t stride = VertexLayout::stride();
    const uint32_t count = mMeshData ? mMeshData->vertexCount() : 0;
    const uint32_t points = count < gridPointCount() ? count : gridPointCount();
    mPositionPointers.assign(points, nullptr);
    mColorPointers.assign(points, nullptr);
    uint8_t* bytes = points ? mMeshData->vertexData() : nullptr;
    for (uint32_t i = 0; i < points; ++i) {
        uint8_t* vertex = bytes + size_t(i) * stride;
        mPositionPointers[i] = reinterpret_cast<float*>(vertex + VertexLayout::positionOffset());
        mColorPointers[i] = reinterpret_cast<Color*>(vertex + VertexLayout::diffuseOffset());
    }
}

void Sprite::finishTextures() {
    if (!mQuadData || !mMeshData) return;
    mMeshData->mPrimitiveKind = mQuadData->mPrimitiveKind;
    mMeshData->mBlendMode = mQuadData->mBlendMode;
    mMeshData->mAddressMode = mQuadData->mAddressMode;
    mMeshData->mCopiedFlag = mQuadData->mCopiedFlag;
    if (mMeshData->mTextures.empty()) mMeshData->append(*mQuadData);
    mInvTexWidth = 0.0f;
    mInvTexHeight = 0.0f;
    Texture* first = mMeshData->mTextures.empty() ? nullptr : mMeshData->mTextures[0];
    if (first) {
        const uint32_t w = spriteTextureWidth(first);
        const uint32_t h = spriteTextureHeight(first);
        // A texture of no pixels has no texel size; 0 keeps draws finite.
        mInvTexWidth = w ? 1.0f / float(w) : 0.0f;
        mInvTexHeight = h ? 1.0f / float(h) : 0.0f;
    }
}

void Sprite::initFromTexture(Texture* texture) {
    newQuad(mQuadData);
    mPosition = Vector2<float>();
    mAngle = 0.0f;
    mMirrorH = mMirrorV = false;
    mQuadData->mBlendMode = 0;
    useWholeTexture(mQuadData, texture, mFrames);
    mSize = Vector2<float>(mFrames[0].width(), mFrames[0].height());
    mRotationCenter = mSize * 0.5f;
    mClipRect = defaultClipRect();
    setGridSize(1, 1);
    newMeshData(kOpaqueWhite);
    updateTexCoords();
    finishTextures();
}

void Sprite::loadTexture(const std::string& image, const std::string& package) {
    Texture* texture = requestSpriteTexture(image, package);
    if (!texture) QV_FATAL("Failed to load texture");
    initFromTexture(texture);
}

}  // namespace QV
