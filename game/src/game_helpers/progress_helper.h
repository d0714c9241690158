#pragma once

#include <string>

#include "game_helpers/game_helper.h"

namespace AE {
class ISceneNode;
class Marker;
class TextSceneNode;
}

// The score bar: a counter that counts up to the score and a bar whose fill
// crosses the level's three star segments, lighting a star marker ("#star1"
// to "#star3") as it passes each. The bar's place on the scene's timeline is
// in seconds: the key frames of "#timeNode" mark the three stars.
class ProgressHelper : public GameHelper {
public:
    static constexpr float kDuration = 0.9f;

    explicit ProgressHelper(const std::string& sceneResource);
    // Takes the scene (tests build their own).
    explicit ProgressHelper(AE::ISceneNode* scene);
    ~ProgressHelper() override;

    // The score spans of the three stars: the first threshold, then the
    // distance to the second and to the third.
    void setSegments(int first, int second, int third);
    void setScore(int score);
    void update(float dt) override;
    void render() override;
    void onLevelStart() override;
    std::string describe() const override;

    int score() const { return mScore; }
    int shown() const { return mShown; }
    float position() const { return mPosition; }
    float target() const { return mTarget; }
    int stars() const { return mStars; }
    float keySpan(int i) const { return mKeySpans[i]; }
    AE::ISceneNode* scene() const { return mScene; }

private:
    void findNodes();
    void playMarker(const std::string& name);

    int mScore = 0;
    int mShown = 0;
    int mOld = 0;
    float mDuration = kDuration;
    float mTimer = 0.0f;
    float mTarget = 0.0f;
    float mStart = 0.0f;
    float mPosition = 0.0f;
    AE::ISceneNode* mScene = nullptr;  // owned
    AE::Marker* mThumb = nullptr;
    AE::TextSceneNode* mText = nullptr;
    int mSegments[3] = {0, 0, 0};
    float mKeySpans[3] = {1.0f, 1.0f, 1.0f};
    int mStars = 0;
};
