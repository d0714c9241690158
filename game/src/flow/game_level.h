#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "board/board_host.h"
#include "flow/game_state.h"
#include "flow/layout_markers.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}
namespace QV {
class UIWidget;
}
class GameField;
class GameFieldRenderer;
class GameHelper;
class Mode;
struct MoveWarning;

// The state "GameLevel": the board of one level with its renderer, the
// level's scenes and interface, the level-end effect scenes, the ambient
// sound, the move warning and the list of the level's rule objects (owned by
// the mode). A headless level (no render system) has the board and the rules
// but no renderer, scenes or interface.
class GameLevel : public IGameState, public AE::MarkerListener, public BoardHost {
public:
    static constexpr int kEffectCount = 5;

    GameLevel();
    ~GameLevel() override;

    // IGameState
    void load() override;
    void unload() override;
    void update(float dt) override;
    void render() override;
    void onActivate() override;
    void onDeactivate() override;
    std::string getName() const override { return "GameLevel"; }
    void onOrientationChanged(int portrait) override;
    void onMarkerFinished(AE::Marker* marker) override;

    // BoardHost
    Mode* mode() override { return mMode; }
    int openDialogCount() override { return mDialogCount; }
    float boardOpacity() override { return mFade; }
    bool dialogBlocksBoard() override;
    bool isCellAllowed(int column, int row) override;
    void playShakeMarker(const std::string& marker) override;
    bool levelEffectStarted() override { return mEffectMarker != nullptr; }

    void setMode(Mode* mode) { mMode = mode; }
    void addHelper(GameHelper* helper);
    void removeHelper(GameHelper* helper);
    void sortHelpers();
    void clearHelpers() { mHelpers.clear(); }
    const std::vector<GameHelper*>& helpers() const { return mHelpers; }

    void loadLevel(const std::string& script);
    void setBackground(const std::string& name);
    void setFieldScene(const std::string& name);
    void playEffect(int effect);
    LevelLayoutMarker getLayoutMarker(const std::string& name);
    void setAmbientVolume(float volume);
    void increaseDialogCount() override { ++mDialogCount; }
    void decreaseDialogCount() override {
        if (mDialogCount > 0) --mDialogCount;
    }
    void showIngameMenu();

    GameField* getField() const { return mField.get(); }
    GameFieldRenderer* getFieldRenderer() const { return mFieldRenderer.get(); }
    QV::UIWidget* getInterface() const { return mInterface; }
    bool isFading() const { return mFading; }
    bool isHeadless() const { return mHeadless; }
    int playingEffect() const { return mEffectMarker ? mEffect : -1; }
    // Maps a point of the screen to the board and hands it to the board.
    void clickPoint(const QV::Vector2<float>& point);
    // The board's origin on the screen (0, 0 headless).
    QV::Vector2<float> fieldOrigin() const;

private:
    void initializeAsync();
    void initialize();
    void disableLayoutMarkers(AE::ISceneNode* node);
    void placeFieldFromNode();
    void placeEffectScene();
    void startAmbientSound();
    void releaseAmbientSound();
    AE::ISceneNode* loadSceneOrSay(const std::string& name, const char* what);

    AE::ISceneNode* mBackground = nullptr;
    AE::ISceneNode* mFieldScene = nullptr;
    AE::Marker* mShakeMarker = nullptr;
    AE::ISceneNode* mFieldNode = nullptr;
    AE::ISceneNode* mEffectScenes[kEffectCount] = {};
    AE::ISceneNode* mEffectScene = nullptr;
    AE::Marker* mEffectMarker = nullptr;
    int mEffect = 0;
    std::unique_ptr<GameField> mField;
    std::unique_ptr<GameFieldRenderer> mFieldRenderer;
    Mode* mMode = nullptr;
    QV::UIWidget* mInterface = nullptr;
    std::unique_ptr<MoveWarning> mMoveWarning;
    bool mFading = false;
    float mFade = 0.0f;
    int mDialogCount = 0;
    std::vector<GameHelper*> mHelpers;  // not owned
    int mLevelCount = 0;
    int mAmbientResource = 0;
    int mAmbientHandle = 0;
    bool mLayoutPending = false;
    bool mHeadless = false;
    bool mOwnsMenuCommand = false;
    std::set<std::string> mMissingMarkers;  // said once each
};
