#include "application.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "benchmarker.h"
#include "config_manager.h"
#include "crash_handler.h"
#include "engine_allocators.h"
#include "engine_notification_dispatcher.h"
#include "file_system.h"
#include "font.h"
#include "format_string.h"
#include "input_manager.h"
#include "job_manager.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "memory_manager.h"
#include "object_factory.h"
#include "particle_system.h"
#include "platform/run_settings.h"
#include "render_system.h"
#include "resource_group_manager.h"
#include "sound_system/sound_manager.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "timer_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_manager.h"
#include "video_player.h"
#include "video_surface_streamer.h"
#include "xml_cached_files_manager.h"

Application* gApplication = nullptr;

namespace {

// Far longer than any load takes on a loaded machine; a job that outlasts it
// is stuck (or waits on the main thread), and the frames go on without it.
constexpr std::chrono::milliseconds kJobWaitLimit{60000};

template <class T>
void deleteManager(T*& field) {
    delete field;
    field = nullptr;
}

}  // namespace

Application::Application() {
    QV::installCrashHandler();
    mWindow = new ApplicationWindow();
    mWindow->customCursor = false;
    // A fixed step makes frames independent of the clock; waiting makes them
    // independent of how long loading jobs take.
    mFramesWaitForJobs = QV::Platform::runSettings().fixedFrameTime > 0.0;
    startUp();
    QV::Singleton<QV::TextManager>::instance()->load();
    mConfigManager->setVertexFormat(21);
    mDebugFont = new QV::Font();
    mDebugFont->load("system_font_fnt");
}

Application::~Application() {
    QV::VideoSurfaceStreamer::setApplicationActive(false);
    delete mWindow;
    mWindow = nullptr;
}

void Application::startUp() {
    if (!QV::Singleton<QV::EngineNotificationDispatcher>::instancePointer()) new QV::EngineNotificationDispatcher();
    mBenchmarker = new QV::Benchmarker();
    mObjectFactory = new QV::ObjectFactory();
    mLogSystem = new QV::LogSystem();

    QV::logLine("Init EngineAllocators ...");
    mEngineAllocators = new QV::EngineAllocators();
    mEngineAllocators->init();
    QV::logLine("Init LexBindedFunctionManager...");
    mLexBindedFunctionManager = new QV::LexBindedFunctionManager();
    QV::logLine("Init JobManager...");
    mJobManager = new QV::JobManager();
    QV::logLine("Init TimerManager...");
    mTimerManager = new QV::TimerManager();
    QV::logLine("Init FileSystem...");
    mFileSystem = new QV::FileSystem();
    QV::logLine("Init TextManager...");
    new QV::TextManager();
    QV::logLine("Init ConfigManager...");
    mConfigManager = new QV::ConfigManager();
    mConfigManager->load();
    QV::logLine("Init RenderSystem...");
    mRenderSystem = new QV::RenderSystem(this);
    QV::logLine("Init SoundManager...");
    mSoundManager = new QV::SoundManager();
    mResourceGroupManager = new QV::ResourceGroupManager();
    QV::logLine("Init ParticleSystem...");
    mParticleSystem = new QV::ParticleSystem();
    QV::logLine("Init InputManager...");
    mInputManager = new QV::InputManager(this);
    QV::logLine("Init SpriteManager...");
    mSpriteManager = new QV::SpriteManager<QV::Sprite>();
    mFastSpriteManager = new QV::SpriteManager<QV::FastSprite>();
    QV::logLine("Init TextureManager...");
    mTextureManager = new QV::TextureManager();
    QV::logLine("Init UIManager...");
    mUIManager = new QV::UIManager();
    QV::logLine("Init UIFontManager...");
    new QV::UIFontManager();
    QV::logLine("Init VideoSurfaceStreame...");
    mVideoSurfaceStreamer = new QV::VideoSurfaceStreamer();
    QV::logLine("Init VideoPlayer...");
    mVideoPlayer = new QV::VideoPlayer();
    mXmlCachedFilesManager = new QV::XmlCachedFilesManager();
    mFileSystem->reloadFileTable();
    mRunning = true;
    onActivate();
}

void Application::initDevices() {
    mRenderSystem->createDevice(mWindow->windowHandle);
    mRenderSystem->createDistortionProgram(QV::RenderSystem::kDistortionPixelShader);
    mInputManager->init();
}

int Application::runningJobs() {
    // No job of the engine or the game waits on the main thread, so the wait
    // cannot hold up the job it waits for.
    if (mFramesWaitForJobs && !mJobManager->waitForRunningJobs(kJobWaitLimit)) {
        QV::logLine(QV::formatString("ERROR: A loading job ran longer than %d s; frames no longer wait for jobs",
                                     int(kJobWaitLimit.count() / 1000)));
        mFramesWaitForJobs = false;
    }
    return mJobManager->updateJobs();
}

void Application::updateFrame() {
    if (!mRunning || !mActive) return;
    if (mVideoPlayer) mVideoPlayer->update();
    mTimerManager->update();
    mInputManager->pollMouse();
    mInputManager->updateKeyboard();
    mParticleSystem->update();
    mSoundManager->update();
    if (runningJobs() != 0) {
        updateLoading();
        return;
    }
    bool videoPlaying = mVideoPlayer && mVideoPlayer->entryCount() != 0;
    if (!videoPlaying) {
        mUIManager->update();
        videoPlaying = mVideoPlayer && mVideoPlayer->entryCount() != 0;
        if (!videoPlaying) update();
    }
    // A job the update started ends before the frame is drawn, so the drawing
    // does not depend on how far it got either.
    if (mFramesWaitForJobs) runningJobs();
}

void Application::renderFrame() {
    if (!mRunning || !mActive) return;
    if (runningJobs() != 0) {
        renderLoading();
    } else if (mVideoPlayer && mVideoPlayer->entryCount() != 0) {
        mVideoPlayer->renderBlocking();
    } else {
        render();
    }
}

float Application::loadingFrameRate(float frameDelta) { return 1.0f / std::min(frameDelta, 0.1f); }

void Application::renderLoading() {
    mRenderSystem->beginFrame();
    float fps = loadingFrameRate(mTimerManager->getFrameDelta());
    if (mDebugFont) {
        mDebugFont->drawText(QV::formatString("FPS %f", fps), 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
        mDebugFont->drawText("Loading...", 0.0f, 20.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    }
    mRenderSystem->endFrame();
    if (mRenderSystem->present() != 0) mRenderSystem->setDeviceLost(true);
}

void Application::drawUnderScene(float, float, float, float) {}

void Application::drawOverScene(float) {}

void Application::onActivate() {
    if (!mActive) QV::postEngineNotification(QV::kNotificationActivated);
    mActive = true;
    refreshListenerGain();
}

void Application::onDeactivate() {
    if (mActive) QV::postEngineNotification(QV::kNotificationDeactivated);
    mActive = false;
    refreshListenerGain();
}

void Application::refreshListenerGain() {
    QV::VideoSurfaceStreamer::setApplicationActive(mActive);
    QV::SoundManager::setApplicationActive(mActive);
    if (QV::SoundManager* sound = QV::Singleton<QV::SoundManager>::instancePointer()) sound->updateListenerGain();
}

void Application::shutDown() {
    mJobManager->clear();
    destroy();
    mRunning = false;
    if (mDebugFont) {
        mDebugFont->release();
        delete mDebugFont;
        mDebugFont = nullptr;
    }
    mRenderSystem->releaseRenderData();

    deleteManager(mVideoPlayer);
    deleteManager(mVideoSurfaceStreamer);
    deleteManager(mUIManager);
    delete QV::Singleton<QV::UIFontManager>::instance();
    deleteManager(mParticleSystem);
    deleteManager(mSpriteManager);
    deleteManager(mFastSpriteManager);
    deleteManager(mTextureManager);
    deleteManager(mSoundManager);
    deleteManager(mRenderSystem);
    deleteManager(mResourceGroupManager);
    deleteManager(mInputManager);
    deleteManager(mConfigManager);
    deleteManager(mFileSystem);
    delete QV::Singleton<QV::TextManager>::instance();
    deleteManager(mTimerManager);
    deleteManager(mJobManager);
    deleteManager(mObjectFactory);
    deleteManager(mLogSystem);
    deleteManager(mLexBindedFunctionManager);
    deleteManager(mXmlCachedFilesManager);
    deleteManager(mEngineAllocators);
    deleteManager(mBenchmarker);
    delete QV::Singleton<QV::EngineNotificationDispatcher>::instancePointer();
}

void Application::exit() {
    shutDown();
    QV::Singleton<QV::MemoryManager>::instance()->dumpLeaks();
    std::fflush(stdout);
    std::exit(0);
}
