#pragma once

#include <memory>
#include <string>
#include <vector>

#include "application.h"
#include "log_system.h"
#include "render_data.h"

namespace QV {
class RenderSystem;
class TextureManager;
class EngineNotificationDispatcher;
class VideoSurfaceStreamer;
}  // namespace QV

namespace qvtest {

class MediaEngine;
class TempDir;

struct RenderSettings {
    int workspaceWidth = 64;
    int workspaceHeight = 32;
    int windowWidth = 64;
    int windowHeight = 32;
    int fitType = 0;
    float minimalAspect = 1.5f;
    float zoom = 1.0f;
};

// Keeps every log line.
class CapturedLog : public QV::LogStream {
public:
    void write(const std::string& message) override { lines.push_back(message); }
    int kind() const override { return 99; }
    int count(const std::string& line) const;
    bool has(const std::string& line) const { return count(line) > 0; }
    std::vector<std::string> lines;
};

// What a render system needs around it: log, configuration with the
// workspace and fit, notification dispatcher, video streamer, and a window
// record. The render system is made by the test (after choosing a driver).
class RenderEngine {
public:
    explicit RenderEngine(const RenderSettings& settings = RenderSettings());
    ~RenderEngine();

    QV::RenderSystem* createRenderSystem();
    QV::RenderSystem* renderSystem() { return mRender.get(); }
    ApplicationWindow& window() { return mWindow; }
    CapturedLog& log() { return *mLog; }
    QV::TextureManager& textures() { return *mTextures; }
    // Names of the render textures created so far, from the log.
    std::vector<std::string> renderTextureNames() const;

private:
    std::unique_ptr<TempDir> mDir;
    std::unique_ptr<MediaEngine> mMedia;
    std::unique_ptr<QV::EngineNotificationDispatcher> mDispatcher;
    std::unique_ptr<QV::VideoSurfaceStreamer> mStreamer;
    std::unique_ptr<QV::TextureManager> mTextures;
    CapturedLog* mLog = nullptr;
    ApplicationWindow mWindow;
    std::unique_ptr<QV::RenderSystem> mRender;
};

// A quad record in the current vertex format: x, y, size, one colour for
// all four corners, texture coordinates over the whole texture.
QV::RenderData* makeQuad(float x, float y, float w, float h, uint32_t argb, int blendMode = 0);
// Several quads in one record.
QV::RenderData* makeQuads(int count, float x, float y, float w, float h, uint32_t argb);

}  // namespace qvtest
