#pragma once

#include <cstdint>
#include <string>

namespace QV {
class ConfigManager;
class RenderSystem;
template <class T> class SpriteManager;
class Sprite;
class FastSprite;
class FileSystem;
class TextureManager;
class LogSystem;
class TimerManager;
class ParticleSystem;
class ObjectFactory;
class JobManager;
class ResourceGroupManager;
class UIManager;
class LexBindedFunctionManager;
class VideoSurfaceStreamer;
class VideoPlayer;
class Font;
class Benchmarker;
class EngineAllocators;
class SoundManager;
class InputManager;
class XmlCachedFilesManager;
}  // namespace QV

// The application's window record, filled by the entry point when it creates the window.
struct ApplicationWindow {
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    bool customCursor = false;
    void* windowHandle = nullptr;    // the platform window's native handle
    void* deviceContext = nullptr;   // the platform window object
    void* moduleInstance = nullptr;
    uint32_t windowStyle = 0;
};

// The engine's application object: starts the engine, runs its frame, tears it down.
class Application {
public:
    Application();
    virtual ~Application();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The game's slots.
    virtual void update() {}
    virtual void render() {}
    virtual void create() {}
    virtual void destroy() {}
    virtual void updateLoading() {}
    virtual void renderLoading();
    virtual void drawUnderScene(float fitWidth, float fitHeight, float fitOffsetX, float fitOffsetY);
    virtual void drawOverScene(float fitScale);

    void initDevices();
    // One frame's update. While a loading job runs the game's update is left
    // out and the loading slots run instead, unless frames wait for jobs.
    void updateFrame();
    void renderFrame();
    void onActivate();
    void onDeactivate();
    void shutDown();
    [[noreturn]] void exit();

    bool isActive() const { return mActive; }
    bool isRunning() const { return mRunning; }
    void setRunning(bool running) { mRunning = running; }
    ApplicationWindow* getWindow() const { return mWindow; }
    const std::string& getWindowTitle() const { return mWindowTitle; }
    void setWindowTitle(const std::string& title) { mWindowTitle = title; }
    QV::VideoPlayer* getVideoPlayer() const { return mVideoPlayer; }
    QV::Font* getDebugFont() const { return mDebugFont; }

    // A frame that finds a loading job running waits for it to end (from the
    // start on when QV_FIXED_DT is set): a scripted run's frames then do the
    // same whatever the machine's load, and the loading slots never run.
    bool framesWaitForJobs() const { return mFramesWaitForJobs; }
    void setFramesWaitForJobs(bool wait) { mFramesWaitForJobs = wait; }

    // The figure the loading screen shows for a frame delta.
    static float loadingFrameRate(float frameDelta);

protected:
    void startUp();
    void refreshListenerGain();
    // The running jobs' count, after waiting for them when frames wait for jobs.
    int runningJobs();

    std::string mWindowTitle;
    bool mActive = false;
    bool mRunning = false;
    bool mFramesWaitForJobs = false;
    ApplicationWindow* mWindow = nullptr;

    QV::ConfigManager* mConfigManager = nullptr;
    QV::RenderSystem* mRenderSystem = nullptr;
    QV::SpriteManager<QV::Sprite>* mSpriteManager = nullptr;
    QV::SpriteManager<QV::FastSprite>* mFastSpriteManager = nullptr;
    QV::FileSystem* mFileSystem = nullptr;
    QV::TextureManager* mTextureManager = nullptr;
    QV::LogSystem* mLogSystem = nullptr;
    QV::TimerManager* mTimerManager = nullptr;
    QV::InputManager* mInputManager = nullptr;
    QV::ParticleSystem* mParticleSystem = nullptr;
    QV::ObjectFactory* mObjectFactory = nullptr;
    QV::JobManager* mJobManager = nullptr;
    QV::ResourceGroupManager* mResourceGroupManager = nullptr;
    QV::UIManager* mUIManager = nullptr;
    QV::LexBindedFunctionManager* mLexBindedFunctionManager = nullptr;
    QV::SoundManager* mSoundManager = nullptr;
    QV::XmlCachedFilesManager* mXmlCachedFilesManager = nullptr;
    QV::VideoSurfaceStreamer* mVideoSurfaceStreamer = nullptr;
    QV::VideoPlayer* mVideoPlayer = nullptr;
    QV::Font* mDebugFont = nullptr;
    QV::EngineAllocators* mEngineAllocators = nullptr;
    QV::Benchmarker* mBenchmarker = nullptr;
};

// The one application of the process.
extern Application* gApplication;
