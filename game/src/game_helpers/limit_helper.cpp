#include "game_helpers/limit_helper.h"

#include <algorithm>

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "board/board_sound.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "board/task.h"
#include "file_system.h"
#include "flow/game_level.h"
#include "flow/game_state_manager.h"
#include "format_string.h"
#include "game_helpers/limit_helper_listener.h"
#include "log_system.h"
#include "render_system.h"
#include "report_assert.h"
#include "sound_system/sound_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_widget.h"

namespace {

constexpr char kPackage[] = "default";
constexpr char kPreviewScene[] = "limit_preview_xml";
constexpr char kFlightSound[] = "flight_silver_star_the_level_sound";

bool hasResource(const std::string& name) {
    QV::FileSystem* files = QV::FileSystem::instancePointer();
    return files && files->hasFile(kPackage, name);
}

}  // namespace

void LimitHelper::label(const char* titleId, const char* iconSprite, const char* captionId) {
    auto setText = [](AE::ISceneNode* scene, const char* node, const char* id) {
        AE::ISceneNode* found = scene ? scene->findNode(node) : nullptr;
        if (!found || found->getType() != AE::kTextNode) return;
        auto* text = static_cast<AE::TextSceneNode*>(found);
        text->mTranslate = true;
        text->setText(id);
    };
    setText(mPanelScene, "#title", titleId);
    setText(mPreview, "#limit_title", captionId);
    AE::ISceneNode* icon = mPreview ? mPreview->findNode("#limit_icon") : nullptr;
    if (icon && icon->getType() == AE::kSpriteNode) static_cast<AE::SpriteSceneNode*>(icon)->loadSprite("game_field_sprites", iconSprite);
}

GameLevel* LimitHelper::level() {
    GameStateManager* states = GameStateManager::instancePointer();
    return states ? static_cast<GameLevel*>(states->getGameLevel()) : nullptr;
}

LimitHelper::LimitHelper(const std::string& uiResource, const std::string& uiTable, float countDuration)
    : mCountDuration(countDuration) {
    // The panel exists only where the interface can be shown.
    QV::UIManager* ui = QV::UIManager::instancePointer();
    if (ui && hasResource(uiResource)) {
        mRoot = ui->loadUI(uiResource, uiTable, nullptr, kPackage);
        if (mRoot) {
            mRoot->show();
            QV::UIWidget* scene = mRoot->findChild("scene");
            if (scene && scene->getType() == QV::kUISceneNode)
                mPanelScene = static_cast<QV::UISceneNode*>(scene)->getNode();
            if (QV::UIWidget* buy = mRoot->findChild("btnBuy"))
                buy->connect("clicked", new QV::Function<LimitHelper>(this, &LimitHelper::showBuyWindow));
            AE::ISceneNode* text = mPanelScene ? mPanelScene->findNode("#textNode") : nullptr;
            if (!text || text->getType() != AE::kTextNode)
                QV::reportAssert("QV", "#textNode node does not found", "limit_helper", 23);
            mCounterText = static_cast<AE::TextSceneNode*>(text);
            mCounterText->mTranslate = false;
            playPanelMarker("init", false);
            if (AE::ISceneNode* buyNode = mPanelScene->findNode("btnBuy")) buyNode->setEnabled(false);
        }
    }
    // A headless run draws nothing and has no sprites to build the card from.
    if (hasResource(kPreviewScene) && QV::RenderSystem::instancePointer()) {
        mPreview = AE::loadScene(kPreviewScene);
        if (mPreview) {
            mPreview->setEnabled(false);
            if (AE::Marker* init = mPreview->findMarker("init")) init->addListener(this);
            if (mPanelScene) mCentreNode = mPanelScene->findNode("#widget_center");
        }
    }
    if (QV::SoundManager* sound = QV::SoundManager::instancePointer()) mFlightSound = sound->acquireResource(kFlightSound);
}

LimitHelper::~LimitHelper() {
    if (mPreview) {
        if (AE::Marker* init = mPreview->findMarker("init")) init->removeListener(this);
        delete mPreview;
    }
    if (mFlightSound) {
        if (QV::SoundManager* sound = QV::SoundManager::instancePointer()) sound->releaseResource(mFlightSound);
    }
    if (mRoot) mRoot->mMarkedForRemoval = true;
    // A count-in cut short must not leave the board blocked.
    if (mRaisedDialogCount) {
        if (GameLevel* gameLevel = level()) {
            gameLevel->decreaseDialogCount();
            pauseBoard(false);
        }
    }
}

void LimitHelper::addListener(LimitHelperListener* listener) {
    if (listener && std::find(mListeners.begin(), mListeners.end(), listener) == mListeners.end())
        mListeners.push_back(listener);
}

void LimitHelper::setPosition(const QV::Vector2<float>& point) {
    mHome = point;
    if (mPreview) mPreview->setPosition(point);
}

void LimitHelper::showBuyWindow() {
    // The purchase window of extra moves and time is not built yet.
    QV::logLine("The extra moves and time purchase window is not there yet");
}

void LimitHelper::render() {
    if (mPreview) AE::drawScene(mPreview);
}

void LimitHelper::playPanelMarker(const char* name, bool logMissing) {
    if (!mPanelScene) return;
    if (AE::Marker* marker = mPanelScene->findMarker(name)) {
        marker->play(true);
    } else if (logMissing) {
        QV::logLine(QV::formatString("ERROR: Can't find marker '%s' in node '%s'", name, mPanelScene->mName.c_str()));
    }
}

void LimitHelper::showCounter(const std::string& text) {
    if (mCounterText) mCounterText->setText(text);
}

void LimitHelper::pauseBoard(bool paused) {
    GameLevel* gameLevel = level();
    GameField* field = gameLevel ? gameLevel->getField() : nullptr;
    if (!field) return;
    field->taskManager->enabled = paused ? 0 : 1;
    if (GameFieldEffectList* effects = field->renderer ? field->effectList() : nullptr) effects->enabled = !paused;
}

void LimitHelper::announce(const std::string& amountText) {
    if (GameLevel* gameLevel = level()) {
        if (!mRaisedDialogCount) gameLevel->increaseDialogCount();
        mRaisedDialogCount = true;
    }
    pauseBoard(true);
    mState = kAnnounced;
    if (mPreview) {
        mPreview->setEnabled(true);
        if (AE::Marker* init = mPreview->findMarker("init")) init->play(true);
        mPreview->setPosition(mHome);
        if (AE::ISceneNode* text = mPreview->findNode("#limit_text")) {
            if (text->getType() == AE::kTextNode) {
                auto* node = static_cast<AE::TextSceneNode*>(text);
                node->mTranslate = false;
                node->setText(amountText);
            }
        }
    }
    // Without the preview's "init" marker the card leaves at once.
    if (!mPreview || !mPreview->findMarker("init")) onMarkerFinished(nullptr);
}

void LimitHelper::onMarkerFinished(AE::Marker*) {
    if (mState != kAnnounced) return;
    mFlightTimer = kFlightTime;
    mState = kFlying;
    playBoardSound(mFlightSound, kFlightSound);
}

bool LimitHelper::stepFlight(float dt) {
    if (mState != kFlying) return false;
    if (mFlightTimer == 0.0f) {
        mState = kCounting;
        pauseBoard(false);
        if (mPreview) mPreview->setEnabled(false);
        playPanelMarker("showCounter", false);
        arrive();
        if (mRaisedDialogCount) {
            mRaisedDialogCount = false;
            if (GameLevel* gameLevel = level()) gameLevel->decreaseDialogCount();
        }
        tellReady();
        return true;
    }
    mFlightTimer = std::max(mFlightTimer - dt, 0.0f);
    if (mPreview) {
        const float k = mFlightTimer / kFlightTime;
        const QV::Vector2<float> centre = mCentreNode ? mCentreNode->getWorldPosition() : mHome;
        mPreview->setPosition(QV::Vector2<float>(centre.x - k * (centre.x - mHome.x), centre.y - k * (centre.y - mHome.y)));
    }
    return false;
}

void LimitHelper::tellReady() {
    const std::vector<LimitHelperListener*> listeners = mListeners;
    for (LimitHelperListener* listener : listeners) listener->onLimitReady();
}

void LimitHelper::tellChanged(int oldValue, int newValue) {
    const std::vector<LimitHelperListener*> listeners = mListeners;
    for (LimitHelperListener* listener : listeners) listener->onLimitChanged(oldValue, newValue);
}

void LimitHelper::tellReached() {
    const std::vector<LimitHelperListener*> listeners = mListeners;
    for (LimitHelperListener* listener : listeners) listener->onLimitReached();
}

void LimitHelper::notifyStarted() {
    const std::vector<LimitHelperListener*> listeners = mListeners;
    for (LimitHelperListener* listener : listeners) listener->onLimitStarted();
}
