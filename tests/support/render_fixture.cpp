#include "support/render_fixture.h"

#include <cstring>

#include "color.h"
#include "engine_notification_dispatcher.h"
#include "render_system.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"
#include "texture_manager.h"
#include "vertex_format.h"
#include "video_surface_streamer.h"

namespace qvtest {

int CapturedLog::count(const std::string& line) const {
    int n = 0;
    for (const std::string& l : lines) n += l == line ? 1 : 0;
    return n;
}

namespace {

std::string renderConfig(const RenderSettings& s) {
    return "config = {\n"
           "  platforms = { { name = \"pc\", directories = { \"common\" },\n"
           "                  resolution = { " + std::to_string(s.workspaceWidth) + ", " +
           std::to_string(s.workspaceHeight) + " },\n"
           "                  fullscreenFitType = " + std::to_string(s.fitType) + ",\n"
           "                  fullscreenMinimalAspect = " + std::to_string(s.minimalAspect) + ",\n"
           "                  workspaceZoom = " + std::to_string(s.zoom) + " } },\n"
           "  currentPlatform = \"pc\",\n"
           "  currentLanguage = \"en\",\n"
           "  defaultLanguage = \"en\",\n"
           "}\n";
}

}  // namespace

RenderEngine::RenderEngine(const RenderSettings& settings) {
    mDir = std::make_unique<TempDir>();
    writeMedia(mDir->path() + "/media", {{"default", {}}}, renderConfig(settings));
    mMedia = std::make_unique<MediaEngine>(mDir->path());
    mLog = new CapturedLog();
    QV::LogSystem::instance()->streams().push_back(mLog);
    if (!QV::EngineNotificationDispatcher::instancePointer()) {
        mDispatcher = std::make_unique<QV::EngineNotificationDispatcher>();
    }
    mStreamer = std::make_unique<QV::VideoSurfaceStreamer>();
    mTextures = std::make_unique<QV::TextureManager>();
    mWindow.clientWidth = settings.windowWidth;
    mWindow.clientHeight = settings.windowHeight;
    QV::VertexLayout::update();
}

RenderEngine::~RenderEngine() {
    mTextures.reset();  // before the device its textures live on
    mRender.reset();
    mStreamer.reset();
    mDispatcher.reset();
    mMedia.reset();  // the log it made deletes the captured stream
    mDir.reset();
}

std::vector<std::string> RenderEngine::renderTextureNames() const {
    const std::string prefix = "Creating render texture... (";
    std::vector<std::string> names;
    for (const std::string& line : mLog->lines) {
        if (line.compare(0, prefix.size(), prefix) == 0 && line.back() == ')')
            names.push_back(line.substr(prefix.size(), line.size() - prefix.size() - 1));
    }
    return names;
}

QV::RenderSystem* RenderEngine::createRenderSystem() {
    mRender = std::make_unique<QV::RenderSystem>(nullptr);
    mRender->setWindowRecord(&mWindow);
    return mRender.get();
}

QV::RenderData* makeQuads(int count, float x, float y, float w, float h, uint32_t argb) {
    auto* data = new QV::RenderData();
    const uint32_t stride = QV::VertexLayout::update();
    uint8_t* bytes = data->allocateVertices(static_cast<uint32_t>(count) * 4);
    const QV::Color color = QV::Color::fromWord(argb);
    const float xs[4] = {x, x + w, x + w, x};
    const float ys[4] = {y, y, y + h, y + h};
    const float us[4] = {0, 1, 1, 0};
    const float vs[4] = {0, 0, 1, 1};
    for (int q = 0; q < count; ++q) {
        for (int i = 0; i < 4; ++i) {
            uint8_t* v = bytes + (static_cast<size_t>(q) * 4 + i) * stride;
            const float xyz[3] = {xs[i], ys[i], 0.0f};
            const float uv[2] = {us[i], vs[i]};
            std::memcpy(v + QV::VertexLayout::positionOffset(), xyz, sizeof(xyz));
            std::memcpy(v + QV::VertexLayout::diffuseOffset(), &color, sizeof(color));
            std::memcpy(v + QV::VertexLayout::texCoordOffset(0), uv, sizeof(uv));
        }
    }
    return data;
}

QV::RenderData* makeQuad(float x, float y, float w, float h, uint32_t argb, int blendMode) {
    QV::RenderData* data = makeQuads(1, x, y, w, h, argb);
    data->mBlendMode = blendMode;
    return data;
}

}  // namespace qvtest
