#include "flow/game_application.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "config_manager.h"
#include "dialogs/dialog_window.h"
#include "social/facebook_data_saver.h"
#include "social/facebook_data_streamer.h"
#include "social/facebook_integration.h"
#include "social/facebook_message_dispatcher.h"
#include "social/ff_icon.h"
#include "social/user_data_serializer.h"
#include "player/game_properties.h"
#include "flow/marketing_tools.h"
#include "board/behavior.h"
#include "board/chip_manager.h"
#include "board/chip_selector.h"
#include "board/mode.h"
#include "player/player_profile.h"
#include "player/progress_saver.h"
#include "player/remote_storage.h"
#include "sound_system/sound_manager.h"
#include "player/store.h"
#include "player/tutorial_profile_section.h"
#include "dialogs/buy_valuta_window.h"
#include "dialogs/dialog_window_manager.h"
#include "dialogs/options_window.h"
#include "font.h"
#include "format_string.h"
#include "flow/game_state_manager.h"
#include "image_encode.h"
#include "input_manager.h"
#include "flow/layout_markers.h"
#include "log_system.h"
#include "mouse_device.h"
#include "particle_system.h"
#include "platform/gfx/gfx_device.h"
#include "platform/run_settings.h"
#include "platform/window.h"
#include "render_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "timer_manager.h"
#include "tutorial/game_event.h"
#include "tutorial/tutorial_registry.h"
#include "ui/text_manager.h"
#include "ui/ui_font_manager.h"
#include "ui/wide_string.h"
#include "xml_cached_files_manager.h"

namespace {

constexpr float kMaxFrameTime = 0.033f;
constexpr char kPackage[] = "default";

int portraitOf(const ApplicationWindow* window) {
    if (window && window->clientWidth > 0 && window->clientHeight > 0)
        return window->clientHeight >= window->clientWidth ? 1 : 0;
    const QV::ConfigResolution& resolution = QV::Singleton<QV::ConfigManager>::instance()->resolution();
    return resolution.height >= resolution.width ? 1 : 0;
}

QV::SpriteManager<QV::Sprite>* sprites() { return QV::Singleton<QV::SpriteManager<QV::Sprite>>::instance(); }

void updateAllTutorials(float dt) { updateTutorials(getTutorialSequences(), dt); }

template <class T>
void deleteSingleton() {
    delete QV::Singleton<T>::instancePointer();
}

template <class T>
T* createSingleton() {
    if (T* existing = QV::Singleton<T>::instancePointer()) return existing;
    return new T();
}

PlayerProfile* currentProfile() {
    GameProperties* properties = QV::Singleton<GameProperties>::instancePointer();
    return properties ? properties->profile() : nullptr;
}

}  // namespace

GameApplication::GameApplication() {
    gApplication = this;
    QV::logLine("Application started");
    // A scripted run's settings that cannot be used are said once, at the start.
    const std::string& errors = QV::Platform::runSettings().errors;
    for (size_t at = 0; at < errors.size();) {
        const size_t end = errors.find('\n', at);
        QV::logLine(errors.substr(at, end - at));
        at = end == std::string::npos ? errors.size() : end + 1;
    }
    setWindowTitle(QV::toNarrow(QV::Singleton<QV::TextManager>::instance()->translate("APP_WINDOW_TITLE")));
    // The game's scenes take their sprites from the XML descriptions and loop their play ranges.
    AE::contentVersion = 1;
    mPortrait = portraitOf(nullptr);
    createSingleton<Store>();
    createSingleton<DialogWindowManager>();
    createSingleton<UserDataSerializer>();
    createSingleton<MarketingTools>();
}

GameApplication::~GameApplication() {
    delete DialogWindowManager::instancePointer();
    deleteSingleton<UserDataSerializer>();
    if (gApplication == this) gApplication = nullptr;
}

void GameApplication::create() {
    // First: every social listener registers after it.
    createSingleton<FacebookIntegration>();
    // The sequences exist before the profile is read, so it can find them.
    loadTutorialSequences(getTutorialSequences());
    registerTutorialSection(*createSingleton<GameProperties>(), getTutorialSequences());
    QV::logLine("void GameApplication::create()");
    mFont = new QV::Font();
    mFont->load("font2_fnt");
    // Scene particle nodes advance their own effects; switch the system's off before any loads.
    QV::Singleton<QV::ParticleSystem>::instance()->setAutoUpdate(false);

    mLoadingScene = AE::loadScene("loading_scene_xml");
    if (mLoadingScene) {
        mLoadingScene->mLoop = true;
        mLoadingScene->play(true);
    }
    mLeftBorder = sprites()->createSprite("screen_borders_sprites", "screen_leftborder", kPackage);
    mTopBorder = sprites()->createSprite("screen_borders_sprites", "screen_topborder", kPackage);
    mCursor = sprites()->createSprite("other_sprites", "s_cursor", kPackage);

    mPortrait = portraitOf(getWindow());
    mGameStateManager = new GameStateManager();

    QV::UIFontManager* fonts = QV::Singleton<QV::UIFontManager>::instance();
    mFontUI = fonts->getFont("font2_fnt");
    mSmallFontUI = fonts->getFont("small_font_fnt");
    if (mLoadingScene) adaptSceneLayout(mLoadingScene);

    createSingleton<ChipManager>();
    createSingleton<FacebookDataSaver>();
    ProgressSaver* saver = createSingleton<ProgressSaver>();
    createSingleton<RemoteStorage>()->addListener(saver);
    if (GameProperties* properties = GameProperties::instancePointer()) properties->registerMainModeListener();
    mFFIcon = new FFIcon();
    createSingleton<BuyValutaWindowSingleton>();
    createSingleton<OptionsWindow>();

    // Counted now, written with the next save (at the latest at shut-down).
    if (PlayerProfile* profile = currentProfile()) ++profile->mLaunchCounter;
    if (GameProperties* properties = GameProperties::instancePointer()) properties->activateModes();
}

void GameApplication::destroy() {
    QV::logLine("void GameApplication::destroy()");
    sprites()->destroySprite(mLeftBorder);
    sprites()->destroySprite(mTopBorder);
    sprites()->destroySprite(mCursor);
    mLeftBorder = mTopBorder = mCursor = nullptr;

    delete mLoadingScene;
    mLoadingScene = nullptr;
    delete mGameStateManager;
    mGameStateManager = nullptr;
    delete mFFIcon;
    mFFIcon = nullptr;
    // The board's chip kinds go after the last level that used them.
    deleteSingleton<ChipManager>();
    ChipSelector::clearCache();
    Behavior::clearRegistry();
    if (mFont) {
        mFont->release();
        delete mFont;
        mFont = nullptr;
    }
    if (QV::UIFontManager* fonts = QV::Singleton<QV::UIFontManager>::instancePointer()) {
        if (mFontUI) fonts->releaseFont(mFontUI);
        if (mSmallFontUI) fonts->releaseFont(mSmallFontUI);
    }
    mFontUI = mSmallFontUI = nullptr;

    // The profile is saved before anything it holds goes away.
    if (ProgressSaver* saver = QV::Singleton<ProgressSaver>::instancePointer()) saver->saveNow();
    if (Mode* mode = Mode::current()) mode->deactivate();
    deleteSingleton<GameProperties>();
    deleteSingleton<ProgressSaver>();
    deleteSingleton<RemoteStorage>();
    // Its destructor stops and joins the photo streamer before the records go.
    deleteSingleton<FacebookIntegration>();

    deleteSingleton<Store>();
    deleteSingleton<FacebookDataSaver>();
    // The shop's widget tree goes with the UI manager's next update.
    deleteSingleton<BuyValutaWindowSingleton>();
    deleteSingleton<OptionsWindow>();
    deleteSingleton<DialogWindowManager>();
    deleteSingleton<UserDataSerializer>();
    deleteSingleton<FacebookDataStreamer>();
    deleteSingleton<FacebookMessageDispatcher>();
    releaseTutorialSequences();
    QV::XmlCachedFilesManager::purge();
    deleteSingleton<MarketingTools>();
}

void GameApplication::onWindowClosed() {
    // A scripted screenshot that was never drawn must not pass unnoticed.
    if (!mScreenshotPath.empty())
        QV::logLine(QV::formatString("ERROR: The screenshot '%s' was not taken: no frame was drawn after it was asked for",
                                     mScreenshotPath.c_str()));
    if (FacebookDataSaver* social = QV::Singleton<FacebookDataSaver>::instancePointer()) social->save();
}

bool GameApplication::wantsFullscreen() const {
    const PlayerProfile* profile = currentProfile();
    return profile && profile->mFullScreen != 0;
}

void GameApplication::applyProfileSettings() {
    ApplicationWindow* window = getWindow();
    const PlayerProfile* profile = currentProfile();
    window->customCursor = profile && profile->mCustomCursor != 0;
    if (profile && mSoundManager && mSoundManager->isEnabled()) {
        pthread_mutex_lock(mSoundManager->mutex());
        mSoundManager->setGroupVolume1(profile->mMusicVolume);
        mSoundManager->setGroupVolume0(profile->mSoundVolume);
        pthread_mutex_unlock(mSoundManager->mutex());
    }
    if (auto* platformWindow = static_cast<QV::Platform::Window*>(window->deviceContext))
        platformWindow->showSystemCursor(!(window->customCursor && mCursor));
}

void GameApplication::update() {
    applyProfileSettings();
    const float dt = std::min(mTimerManager->getFrameDelta(), kMaxFrameTime);
    if (DialogWindowManager* windows = QV::Singleton<DialogWindowManager>::instancePointer()) windows->update(dt);
    mGameStateManager->step(dt, updateAllTutorials);
    if (mFFIcon && mFFIcon->scene) mFFIcon->scene->update(dt);

    const int portrait = portraitOf(getWindow());
    if (portrait != mGameStateManager->getOrientation()) {
        mGameStateManager->setOrientation(portrait);
        IGameState* state = mGameStateManager->getCurrentState();
        if (state && state->isLoaded()) state->onOrientationChanged(portrait);
        if (DialogWindowManager* windows = QV::Singleton<DialogWindowManager>::instancePointer()) {
            const std::vector<DialogWindow*> live = windows->mWindows;  // a relayout may register or drop windows
            for (DialogWindow* window : live)
                if (!window->mReleased) window->relayout();
        }
        if (Mode* mode = Mode::current()) mode->relayout(portrait);
        dispatchTutorialEvent(new GameEvent(GameEventType::LayoutChanged), getTutorialSequences());
        mPortrait = portrait;
        if (mLoadingScene) adaptSceneLayout(mLoadingScene);
    }
}

void GameApplication::render() {
    mRenderSystem->beginFrame();
    IGameState* state = mGameStateManager ? mGameStateManager->getCurrentState() : nullptr;
    if (state && state->isLoaded()) state->render();
    if (mFFIcon && mFFIcon->scene) AE::drawScene(mFFIcon->scene);
    mRenderSystem->endFrame();
    present();
}

void GameApplication::updateLoading() {
    if (!mLoadingScene) return;
    const int portrait = portraitOf(getWindow());
    if (portrait != mPortrait) {
        mPortrait = portrait;
        adaptSceneLayout(mLoadingScene);
    }
    mLoadingScene->update(std::min(mTimerManager->getFrameDelta(), kMaxFrameTime));
}

void GameApplication::renderLoading() {
    if (!mLoadingScene) return;
    mRenderSystem->beginFrame();
    AE::drawScene(mLoadingScene);
    mRenderSystem->endFrame();
    present();
}

void GameApplication::drawUnderScene(float, float, float, float) {}

void GameApplication::drawOverScene(float fitScale) {
    if (!mCursor || !getWindow()->customCursor) return;
    const QV::MouseDevice* mouse = mInputManager ? mInputManager->getMouse() : nullptr;
    if (!mouse) return;
    const QV::Vector2<int> position = mouse->getPosition();
    mCursor->setScale(fitScale, fitScale);
    mCursor->setPosition(static_cast<float>(position.x), static_cast<float>(position.y));
    mCursor->updateVertices();
    mCursor->draw();
}

void GameApplication::requestScreenshot(const std::string& path) { mScreenshotPath = path; }

void GameApplication::takeScreenshot() {
    const std::string path = mScreenshotPath;
    mScreenshotPath.clear();
    std::vector<uint8_t> bgra;
    uint32_t width = 0, height = 0;
    QV::Gfx::IDevice* device = mRenderSystem->getDevice();
    if (!device || device->readBack(&bgra, &width, &height) != 0) {
        QV::logLine(QV::formatString("ERROR: Failed to read the window's picture for '%s'", path.c_str()));
        return;
    }
    std::vector<uint8_t> rgba(bgra.size());
    for (size_t i = 0; i + 3 < bgra.size(); i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = 255;
    }
    std::ofstream file(path, std::ios::binary);
    file << QV::encodePng(rgba, width, height);
    if (!file) QV::logLine(QV::formatString("ERROR: Failed to write the screenshot '%s'", path.c_str()));
    else QV::logLine(QV::formatString("Screenshot written: %s", path.c_str()));
}

void GameApplication::present() {
    // The picture is read before it is handed to the window system.
    if (!mScreenshotPath.empty()) takeScreenshot();
    if (mRenderSystem->present() != 0) mRenderSystem->setDeviceLost(true);
}
