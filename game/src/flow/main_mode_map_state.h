#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "dialogs/dialog_window_listener.h"
#include "flow/game_state.h"
#include "social/map_social.h"
#include "flow/map_button.h"
#include "flow/map_camera.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}
namespace QV {
class UIWidget;
}
class BlockerMessageWindow;
class BuyHeartWindow;
class EverydayBonusWindow;
class HolidayPurchaseWindow;
class MapMenuWindow;
class MainMode;
class PlayerProfile;
class PlayLevelWindow;
struct EpisodePart;

// The level buttons of one part of the shown episode, in level order.
struct LevelButtonGroup {
    std::vector<AE::ISceneNode*> buttons;  // owned by the map scene
    AE::ISceneNode* blocker = nullptr;
    const EpisodePart* part = nullptr;
};

// The everyday bonus due at `now` (seconds since 1970): 0 when the profile has
// had today's already (or its day lies ahead), otherwise the day of the new
// pack: the day after the last one continues the run up to 5, any other day
// starts again at 1.
int32_t dueEverydayBonusDay(const PlayerProfile& profile, uint64_t now);

// The episode map's state "MainModeMap": one episode's map scene with one
// level button per level (locked, open, or completed with its stars), the
// blockers between parts, the player's marker, the top panel (silver, gold,
// stars, hearts and the countdown to the next one), the arrows to the other
// episodes and the map's windows. The camera scrolls by drag, wheel and
// inertia and glides back into its bounds. After a won level the stars and
// silver fly to their counters, a part opens once the stars suffice, and the
// marker walks on to the next level. Escape (or the command "showMenu") opens
// the map menu.
class MainModeMapState : public IGameState,
                         public AE::MarkerListener,
                         public DialogWindowListener,
                         public MapButtonListener {
public:
    explicit MainModeMapState(MainMode* mode);
    ~MainModeMapState() override;

    void load() override;
    void unload() override;
    void update(float dt) override;
    void render() override;
    void onActivate() override;
    void onDeactivate() override;
    std::string getName() const override { return "MainModeMap"; }
    void onOrientationChanged(int portrait) override;
    void onWindowClosed(DialogWindow* window) override;
    void onMarkerFinished(AE::Marker* marker) override;
    void onMapButton(MapButton* button) override;

    // Commands.
    void showMenu();
    void showBuyGoldWindow();
    void showBuySilverWindow();
    void showBuyStarsWindow();
    void buyHolidayPurchase();
    void showMail() { mSocial->showMail(); }
    // The received requests, for the requests window.
    void setRequests(const std::vector<FacebookRequest>& requests) { mSocial->setRequests(requests); }
    MapSocial& social() { return *mSocial; }

    // Opens the level start window on that level of the shown episode (the
    // heart window first when no heart is left).
    void selectLevel(int32_t part, int32_t level);
    // Pages to another episode: the map is built again around it.
    void showEpisode(int32_t index);

    // Told by the main mode after a won level: the stars gained fly first,
    // then (when its win window closes) the silver, and the marker moves on.
    void startAwardFlights(int32_t stars);
    void addPendingSilver(int32_t silver);
    void requestPlayerMove(bool walk, bool autoAdvance);

    // The camera position that centres that level's button, in the bounds.
    QV::Vector2<float> cameraPositionForLevel(int32_t part, int32_t level) const;
    // The map point under a workspace point.
    QV::Vector2<float> scenePoint(const QV::Vector2<float>& screen) const;
    void updateScrolling(float dt);

    AE::ISceneNode* getMapRoot() const { return mMapRoot; }
    int getEpisodeIndex() const { return mEpisodeIndex; }
    EverydayBonusWindow* getBonusWindow() const { return mBonusWindow; }
    PlayLevelWindow* getLevelWindow() const { return mLevelWindow; }
    const std::vector<LevelButtonGroup>& getLevelButtonGroups() const { return mGroups; }
    AE::ISceneNode* getHoveredButton() const { return mHoveredButton; }
    int32_t getSelectedPart() const { return mSelectedPart; }
    int32_t getSelectedLevel() const { return mSelectedLevel; }
    AE::ISceneNode* getCamera() const { return mCamera; }
    AE::ISceneNode* getInterfaceScene() const { return mInterfaceScene; }
    QV::Vector2<float> getCameraPosition() const;
    const CameraBounds& getBounds() const { return mBounds; }
    const CameraConfig& getCameraConfig() const { return mCameraConfig; }
    bool isSettling() const { return mSettling; }
    bool hasInertia() const { return mInertia; }
    bool isDragging() const { return mDragging; }
    AE::ISceneNode* getPlayerScene() const { return mPlayerScene; }
    int32_t getMovePhase() const { return mMovePhase; }
    int32_t getOpenPhase() const { return mOpenPhase; }
    bool hasAwardFlights() const { return mAwardFlights; }
    int32_t getMarkerPart() const { return mMarkerPart; }
    int32_t getMarkerLevel() const { return mMarkerLevel; }
    BuyHeartWindow* getHeartWindow() const { return mHeartWindow; }
    BlockerMessageWindow* getBlockerWindow() const { return mBlockerWindow; }
    MapButton* getNextButton() const { return mNextButton; }
    MapButton* getPrevButton() const { return mPrevButton; }

    // The job's build step.
    void buildMap();

private:
    void initializeAsync();
    void bindCommands();
    void unbindCommands();
    void buildLevelButtons();
    void refreshLevelButtons();
    // Hover and clicks on the level buttons; true when the pointer input was used.
    bool handleButtonInput();
    // The level start window closed with Play: the one place where the map
    // hands the selected level to the main mode.
    void startSelectedLevel();
    void refreshTopPanel();
    void refreshHearts();
    void offerEverydayBonus();
    void readCameraBounds();
    void placeCameraAtStart();
    void setCameraPosition(const QV::Vector2<float>& position);
    void buildBlockers();
    void loadAwardScenes();
    AE::ISceneNode* buttonAt(int32_t part, int32_t level) const;
    void checkEpisodeOpening();
    void updateEpisodeOpening(float dt);
    void beginPlayerMove();
    void updatePlayerMove(float dt);
    void updateAwardFlights(float dt);
    void listen(AE::Marker* marker);
    void stopListening(AE::Marker* marker);

    MainMode* mMode;
    int mEpisodeIndex = -1;
    AE::ISceneNode* mMapRoot = nullptr;  // owned
    QV::UIWidget* mInterface = nullptr;  // owned by the UI manager
    AE::ISceneNode* mInterfaceScene = nullptr;
    AE::ISceneNode* mSilverText = nullptr;
    AE::ISceneNode* mGoldText = nullptr;
    AE::ISceneNode* mStarsText = nullptr;
    AE::ISceneNode* mActionPanel = nullptr;
    AE::ISceneNode* mTopPanel = nullptr;
    AE::ISceneNode* mTimeText = nullptr;
    AE::ISceneNode* mHeartText = nullptr;
    AE::ISceneNode* mPlayerScene = nullptr;  // under the map root
    BuyHeartWindow* mHeartWindow = nullptr;  // owned
    BlockerMessageWindow* mBlockerWindow = nullptr;  // owned, per build
    EverydayBonusWindow* mBonusWindow = nullptr;  // owned
    std::unique_ptr<MapSocial> mSocial = std::make_unique<MapSocial>();
    HolidayPurchaseWindow* mHolidayWindow = nullptr;  // owned
    PlayLevelWindow* mLevelWindow = nullptr;  // owned
    MapMenuWindow* mMenuWindow = nullptr;  // owned; made when first opened
    std::vector<LevelButtonGroup> mGroups;
    AE::ISceneNode* mHoveredButton = nullptr;
    // The level whose start window was opened last; kept across unloading.
    int32_t mSelectedPart = -1;
    int32_t mSelectedLevel = -1;
    // The day whose pack the open bonus window pays when it closes; 0 when none.
    int32_t mBonusDay = 0;
    bool mBonusChecked = false;

    // Camera and scrolling.
    AE::ISceneNode* mCamera = nullptr;  // the map's "#camera"
    QV::Vector2<float> mCameraStart;    // kept across unloading
    CameraBounds mBounds;
    CameraConfig mCameraConfig;  // both orientations' bounds and the overscroll
    bool mDragging = false;
    bool mSettling = false;
    QV::Vector2<float> mDragLast;
    bool mInertia = false;
    QV::Vector2<float> mVelocity;
    MapButton* mPrevButton = nullptr;  // owned, per build
    MapButton* mNextButton = nullptr;  // owned, per build
    int32_t mCameraJump = 0;           // 1: the next build starts at the bottom, 2: at the top

    // The marker's walk after a won level.
    bool mMoveRequest = false;
    bool mWalk = false;
    bool mAutoAdvance = false;
    int32_t mMovePhase = 0;
    float mTimer = 0.0f;
    QV::Vector2<float> mPlayerStart;
    QV::Vector2<float> mPlayerTarget;
    QV::Vector2<float> mCameraTarget;
    AE::Marker* mPendingShow = nullptr;
    int32_t mMarkerPart = -1;
    int32_t mMarkerLevel = -1;

    // Stars and silver flying to their counters.
    bool mAwardFlights = false;
    int32_t mPendingStars = 0;
    int32_t mPendingSilver = 0;
    float mFlightTimer = 0.0f;
    float mSilverDelay = 0.0f;
    AE::ISceneNode* mAwardStar = nullptr;
    AE::ISceneNode* mAwardSilver = nullptr;
    AE::ISceneNode* mSilverIcon = nullptr;
    AE::ISceneNode* mStarIcon = nullptr;

    // A part opening once the stars suffice.
    int32_t mOpenPhase = 0;
    AE::Marker* mBlockerOpenMarker = nullptr;
    std::vector<AE::Marker*> mListened;  // markers this state listens to
};
