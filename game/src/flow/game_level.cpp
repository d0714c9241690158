#include "flow/game_level.h"

#include <algorithm>

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "board/game_field.h"
#include "board/mode.h"
#include "board/view/game_field_renderer.h"
#include "dialogs/dialog_window_manager.h"
#include "file_system.h"
#include "flow/game_state_manager.h"
#include "flow/move_warning.h"
#include "format_string.h"
#include "function.h"
#include "game_helpers/game_helper.h"
#include "game_helpers/goals_helper.h"
#include "game_helpers/move_limit_helper.h"
#include "input_manager.h"
#include "job_manager.h"
#include "lex_binded_function_manager.h"
#include "lex_binder.h"
#include "log_system.h"
#include "player/game_properties.h"
#include "render_system.h"
#include "sound_system/sound_description.h"
#include "sound_system/sound_manager.h"
#include "tutorial/tutorial_registry.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace {

constexpr char kPackage[] = "default";
constexpr char kMenuCommand[] = "showIngameMenu";
constexpr char kInterface[] = "ingame_interface_ui";
constexpr char kMoveWarningScene[] = "move_warning_xml";
const char* const kEffectSceneNames[GameLevel::kEffectCount] = {
    "win_effect_scene_xml", "fail_effect_scene_xml", "no_more_moves_effect_xml",
    "no_possible_moves_effect_xml", "time_up_xml"};

int portraitFlag() {
    GameStateManager* states = GameStateManager::instancePointer();
    return states ? states->getOrientation() : 0;
}

bool hasResource(const std::string& name) {
    QV::FileSystem* files = QV::FileSystem::instancePointer();
    return files && files->hasFile(kPackage, name);
}

void setNodeTreeEnabled(AE::ISceneNode* node, bool enabled) {
    if (node) node->setEnabled(enabled);
}

}  // namespace

GameLevel::GameLevel() = default;

GameLevel::~GameLevel() {
    if (isLoaded()) {
        if (Mode* current = Mode::current()) current->onStateEnded("GameLevel");
    }
    mMode = nullptr;
    mHelpers.clear();
    unload();
}

// ---- rule objects ----

void GameLevel::addHelper(GameHelper* helper) {
    if (!helper || std::find(mHelpers.begin(), mHelpers.end(), helper) != mHelpers.end()) return;
    mHelpers.push_back(helper);
    sortHelpers();
}

void GameLevel::removeHelper(GameHelper* helper) {
    auto it = std::find(mHelpers.begin(), mHelpers.end(), helper);
    if (it != mHelpers.end()) mHelpers.erase(it);
}

void GameLevel::sortHelpers() {
    std::stable_sort(mHelpers.begin(), mHelpers.end(),
                     [](const GameHelper* a, const GameHelper* b) { return a->priority > b->priority; });
}

// ---- loading ----

void GameLevel::load() { initializeAsync(); }

void GameLevel::initializeAsync() {
    QV::logLine("void GameLevel::initializeAsync() -begin");
    QV::JobManager* jobs = QV::JobManager::instancePointer();
    if (jobs) {
        QV::Job* job = jobs->addJob(new QV::Function<GameLevel>(this, &GameLevel::initialize));
        if (job && !job->isStarted()) job->start();
    } else {
        initialize();  // a headless run has no workers
    }
    QV::logLine("void GameLevel::initializeAsync() -end");
}

void GameLevel::initialize() {
    mHeadless = QV::RenderSystem::instancePointer() == nullptr;
    mShakeMarker = nullptr;
    QV::logLine("Loading gamefield...");
    mField = std::make_unique<GameField>(this);
    if (!mHeadless) {
        mFieldRenderer = std::make_unique<GameFieldRenderer>(mField.get());
        mField->renderer = mFieldRenderer.get();
    }
    QV::logLine("Loading gui...");
    mMoveWarning = std::make_unique<MoveWarning>();
    if (!mHeadless && hasResource(kMoveWarningScene)) {
        mMoveWarning->scene = AE::loadScene(kMoveWarningScene);
        mMoveWarning->portrait = portraitFlag();
        if (mMoveWarning->scene) {
            adaptSceneLayout(mMoveWarning->scene);
            mMoveWarning->scene->stop(true);
        }
    }
    mFade = 0.0f;
    mFading = true;
    onActivate();
    mLayoutPending = true;
    setLoaded(true);
}

AE::ISceneNode* GameLevel::loadSceneOrSay(const std::string& name, const char* what) {
    AE::ISceneNode* scene = hasResource(name) ? AE::loadScene(name) : nullptr;
    if (!scene) QV::logLine(QV::formatString("ERROR: The level's %s '%s' is missing; the level plays without it", what, name.c_str()));
    return scene;
}

void GameLevel::onActivate() {
    if (!isLoaded()) {
        if (QV::LexBindedFunctionManager* commands = QV::LexBindedFunctionManager::instancePointer()) {
            if (!commands->findBinder(kMenuCommand)) {
                commands->registerBinder(kMenuCommand, new QV::LexBinder<GameLevel>(this, &GameLevel::showIngameMenu));
                mOwnsMenuCommand = true;
            }
        }
        if (!mHeadless) {
            QV::UIManager* ui = QV::UIManager::instancePointer();
            if (!mInterface && ui && hasResource(kInterface))
                mInterface = ui->loadUI(kInterface, "IngameInterface", nullptr, kPackage);
            if (mInterface) mInterface->show();
            for (int i = 0; i < kEffectCount; ++i) {
                if (!mEffectScenes[i]) mEffectScenes[i] = loadSceneOrSay(kEffectSceneNames[i], "effect scene");
            }
        }
    }
    mEffectScene = nullptr;
    mEffectMarker = nullptr;
    mDialogCount = 0;
    if (mMode) mMode->onStateActivated("GameLevel");
    if (mMoveWarning) {
        auto* limit = mMode ? static_cast<MoveLimitHelper*>(mMode->getHelper(kHelperMoveLimit)) : nullptr;
        mMoveWarning->moveLimit = limit;
        mMoveWarning->lastShown = limit ? limit->remaining() + limit->pending() : -1;
        mMoveWarning->goals = mMode ? static_cast<GoalsHelper*>(mMode->getHelper(kHelperGoals)) : nullptr;
    }
}

void GameLevel::onDeactivate() {
    mMode = nullptr;
    mHelpers.clear();
    unload();
}

void GameLevel::unload() {
    mField.reset();
    mFieldRenderer.reset();
    mMoveWarning.reset();
    delete mBackground;
    mBackground = nullptr;
    if (mShakeMarker) mShakeMarker->removeListener(this);
    delete mFieldScene;
    mFieldScene = nullptr;
    mFieldNode = nullptr;
    mShakeMarker = nullptr;
    if (mEffectMarker) mEffectMarker->removeListener(this);
    for (AE::ISceneNode*& scene : mEffectScenes) {
        delete scene;
        scene = nullptr;
    }
    mEffectScene = nullptr;
    mEffectMarker = nullptr;
    if (mInterface) mInterface->mMarkedForRemoval = true;
    mInterface = nullptr;
    if (mOwnsMenuCommand) {
        if (QV::LexBindedFunctionManager* commands = QV::LexBindedFunctionManager::instancePointer())
            commands->unregisterBinder(kMenuCommand);
        mOwnsMenuCommand = false;
    }
    releaseAmbientSound();
    mMissingMarkers.clear();
    setLoaded(false);
}

void GameLevel::setBackground(const std::string& name) {
    delete mBackground;
    mBackground = nullptr;
    if (name.empty() || mHeadless) return;
    mBackground = loadSceneOrSay(name, "background scene");
    if (mBackground) mBackground->play(true);
}

void GameLevel::setFieldScene(const std::string& name) {
    if (mShakeMarker) mShakeMarker->removeListener(this);
    mShakeMarker = nullptr;
    delete mFieldScene;
    mFieldScene = nullptr;
    mFieldNode = nullptr;
    if (name.empty() || mHeadless) return;
    mFieldScene = loadSceneOrSay(name, "field scene");
    if (!mFieldScene) return;
    mFieldNode = mFieldScene->findNode("#game_field");
    if (!mFieldNode)
        QV::logLine(QV::formatString("ERROR: The field scene '%s' has no node '#game_field'; the board stays at the corner",
                                     name.c_str()));
    if (AE::ISceneNode* shaker = mFieldScene->findNode("#shaker")) {
        shaker->mTimeline->mFrameRate = 72.0f;
        shaker->mTimeline->mFrameDuration = 1.0f / 72.0f;
    }
    if (AE::Marker* init = mFieldScene->findMarker("init")) init->play(true);
    adaptSceneLayout(mFieldScene);
    disableLayoutMarkers(mFieldScene);
    onOrientationChanged(portraitFlag());
}

void GameLevel::disableLayoutMarkers(AE::ISceneNode* node) {
    for (auto it = node->mChildren.rbegin(); it != node->mChildren.rend(); ++it) disableLayoutMarkers(*it);
    if (!node->mName.empty() && node->mName[0] == '@') setNodeTreeEnabled(node, false);
}

void GameLevel::loadLevel(const std::string& script) {
    if (!mField) return;
    if (!mField->loadLevel(script))
        QV::logLine(QV::formatString("ERROR: The level '%s' did not load: %s", script.c_str(), mField->lastError.c_str()));
    mFade = 0.0f;
    mFading = true;
    mField->levelRunning = true;
    if (mMode) mMode->onLevelLoaded();
    mDialogCount = 0;
    startAmbientSound();
}

void GameLevel::releaseAmbientSound() {
    QV::SoundManager* sound = QV::SoundManager::instancePointer();
    if (sound && mAmbientHandle) sound->stop(mAmbientHandle);
    if (sound && mAmbientResource) sound->releaseResource(mAmbientResource);
    mAmbientHandle = 0;
    mAmbientResource = 0;
}

void GameLevel::startAmbientSound() {
    releaseAmbientSound();
    const std::string name = mLevelCount % 2 == 1 ? "game_level_ambient_sound_1_sound" : "game_level_ambient_sound_2_sound";
    ++mLevelCount;
    QV::SoundManager* sound = QV::SoundManager::instancePointer();
    if (!sound) return;
    mAmbientResource = sound->acquireResource(name);
    if (!mAmbientResource) {
        QV::SoundDescription description;
        description.fileName = name;
        description.group = 1;
        description.volume = 1.0f;
        description.looped = true;
        description.priority = 0;
        mAmbientResource = sound->loadResource(description);
    }
    if (mAmbientResource) mAmbientHandle = sound->play(mAmbientResource);
}

void GameLevel::setAmbientVolume(float volume) {
    QV::SoundManager* sound = QV::SoundManager::instancePointer();
    if (sound && mAmbientHandle) sound->setVolume(mAmbientHandle, volume);
}

// ---- board host ----

bool GameLevel::dialogBlocksBoard() {
    DialogWindowManager* windows = DialogWindowManager::instancePointer();
    return windows && windows->isWindowOpen();
}

bool GameLevel::isCellAllowed(int column, int row) {
    return isTutorialCellAllowed(getTutorialSequences(), column, row);
}

void GameLevel::playShakeMarker(const std::string& name) {
    if (!mFieldScene) return;
    if (mShakeMarker) {
        mShakeMarker->removeListener(this);
        mShakeMarker->stop(false);
        mShakeMarker = nullptr;
    }
    if (AE::Marker* marker = mFieldScene->findMarker(name)) {
        mShakeMarker = marker;
        marker->addListener(this);
        marker->play(true);
    }
}

// ---- effects and markers ----

void GameLevel::playEffect(int effect) {
    if (effect < 0 || effect >= kEffectCount) return;
    mEffect = effect;
    mEffectScene = mEffectScenes[effect];
    mEffectMarker = mEffectScene ? mEffectScene->findMarker("init") : nullptr;
    setAmbientVolume(0.0f);
    if (!mEffectMarker) {
        // Without its scene the effect ends at once.
        mEffectScene = nullptr;
        if (mMode) mMode->onEffectPlayed(static_cast<GameLevelEffect>(effect));
        return;
    }
    mEffectMarker->addListener(this);
    mEffectMarker->play(true);
    placeEffectScene();
}

void GameLevel::placeEffectScene() {
    if (!mEffectScene) return;
    const LevelLayoutMarker at = getLayoutMarker("fieldCenter");
    if (at.found) mEffectScene->setWorldPosition(QV::Vector2<float>(at.x, at.y));
}

void GameLevel::onMarkerFinished(AE::Marker* marker) {
    if (marker && marker == mShakeMarker) {
        mShakeMarker->removeListener(this);
        if (mFieldNode) mFieldNode->setTime(0.0f, false);
        placeFieldFromNode();
        mShakeMarker = nullptr;
    } else if (marker && marker == mEffectMarker) {
        mEffectMarker->removeListener(this);
        mEffectMarker = nullptr;
        if (mMode) mMode->onEffectPlayed(static_cast<GameLevelEffect>(mEffect));
    }
    GameProperties* properties = GameProperties::instancePointer();
    if (mAmbientHandle && properties && properties->profile()) setAmbientVolume(properties->profile()->mMusicVolume);
}

void GameLevel::placeFieldFromNode() {
    if (!mFieldNode || !mFieldRenderer || !mField) return;
    const QV::Vector2<float> at = mFieldNode->getWorldPosition();
    mFieldRenderer->camera.x = at.x;
    mFieldRenderer->camera.y = at.y - static_cast<float>(mField->cellSize);
}

QV::Vector2<float> GameLevel::fieldOrigin() const {
    if (!mFieldRenderer) return QV::Vector2<float>(0.0f, 0.0f);
    return QV::Vector2<float>(mFieldRenderer->camera.x, mFieldRenderer->camera.y);
}

void GameLevel::onOrientationChanged(int portrait) {
    (void)portrait;
    if (mFieldScene) {
        adaptSceneLayout(mFieldScene);
        mFieldScene->update(0.0f);
        placeFieldFromNode();
        const LevelLayoutMarker menu = getLayoutMarker("menuButton");
        if (mInterface && menu.found) mInterface->setPosition(QV::Vector2<float>(menu.x, menu.y));
    }
    if (mEffectMarker) placeEffectScene();
}

LevelLayoutMarker GameLevel::getLayoutMarker(const std::string& name) {
    const int portrait = portraitFlag();
    LevelLayoutMarker marker = findLevelLayoutMarker(mFieldScene, name, portrait);
    if (!marker.found && mFieldScene) {
        const std::string full = (portrait == 1 ? "@v:" : "@h:") + name;
        if (mMissingMarkers.insert(full).second)
            QV::logLine(QV::formatString("ERROR: The field scene has no layout marker '%s'; what it places stays where it is",
                                         full.c_str()));
    }
    return marker;
}

void GameLevel::showIngameMenu() {
    if (isTutorialLessonActive(getTutorialSequences())) return;
    if (!mInterface || !mMode) return;
    QV::UIWidget* button = mInterface->findChild("btnMenu");
    auto usable = [](const QV::UIWidget* w) { return !w || (w->isEnabled() && w->isVisible() && !w->mMarkedForRemoval); };
    if (!usable(mInterface) || !usable(button)) return;
    QV::UIManager* ui = QV::UIManager::instancePointer();
    QV::UIWidget* top = ui ? ui->getTopVisibleWidget() : nullptr;
    if (top && top->isModal()) return;
    mMode->openIngameMenu();
}

// ---- the frame ----

void GameLevel::clickPoint(const QV::Vector2<float>& point) {
    if (!mField) return;
    const QV::Vector2<float> origin = fieldOrigin();
    mField->onPointClicked(QV::Vector2<float>(point.x - origin.x, point.y - origin.y));
}

void GameLevel::update(float dt) {
    if (!isLoaded()) return;
    if (mLayoutPending) {
        onOrientationChanged(portraitFlag());
        if (mMode) mMode->relayout(portraitFlag());
        mLayoutPending = false;
    }
    if (mFading) {
        mFade += dt * 0.5f;
        if (mFade >= 1.0f) {
            mFade = 1.0f;
            mFading = false;
        }
    } else {
        // Every frame the button is held: a drag onto a neighbour swaps.
        QV::InputManager* input = QV::InputManager::instancePointer();
        if (!dialogBlocksBoard() && input && input->isMouseDown() && mDialogCount <= 0) {
            const QV::Vector2<int> mouse = input->getMousePosition();
            clickPoint(QV::Vector2<float>(static_cast<float>(mouse.x), static_cast<float>(mouse.y)));
        }
    }
    if (mEffectScene) mEffectScene->update(dt);
    if (mMode) mMode->updateLevel(dt);
    const std::vector<GameHelper*> helpers = mHelpers;  // a rule may leave the list
    for (GameHelper* helper : helpers) {
        if (std::find(mHelpers.begin(), mHelpers.end(), helper) != mHelpers.end()) helper->update(dt);
    }
    if (mBackground) mBackground->update(dt);
    if (mFieldScene) mFieldScene->update(dt);
    if (mShakeMarker) placeFieldFromNode();
    if (mField) mField->update(dt);
    if (mFieldRenderer) mFieldRenderer->update(dt);
    if (mMoveWarning && mMoveWarning->scene) {
        const int portrait = portraitFlag();
        if (portrait != mMoveWarning->portrait) {
            adaptSceneLayout(mMoveWarning->scene);
            mMoveWarning->portrait = portrait;
        }
        mMoveWarning->update();
        mMoveWarning->scene->update(dt);
    }
}

void GameLevel::render() {
    if (!isLoaded() || mHeadless) return;
    if (mBackground) AE::drawScene(mBackground);
    if (mFieldScene) AE::drawScene(mFieldScene);
    for (GameHelper* helper : mHelpers) helper->renderUnderField();
    if (mFieldRenderer) mFieldRenderer->draw();
    for (GameHelper* helper : mHelpers) helper->render();
    if (mInterface) mInterface->draw(true);
    if (mEffectScene) AE::drawScene(mEffectScene);
    if (mMoveWarning && mMoveWarning->scene) AE::drawScene(mMoveWarning->scene);
    if (QV::UIManager* ui = QV::UIManager::instancePointer()) ui->draw();
}
