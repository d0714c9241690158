#pragma once

#include <string>
#include <vector>

#include "game_helpers/game_helper.h"

namespace AE {
class ISceneNode;
class TextSceneNode;
}

// The floating "+N" texts: the points of one frame go up as one text at the
// cell of the last scoring, animated by the size marker that fits N (the
// largest "limit:" not above it).
class ScoreTextHelper : public GameHelper {
public:
    struct SizeMarker {
        int limit = 0;
        std::string name;
    };

    ScoreTextHelper();
    // Takes the template (tests build their own).
    explicit ScoreTextHelper(AE::ISceneNode* scene);
    ~ScoreTextHelper() override;

    void setCell(int column, int row) {
        mColumn = column;
        mRow = row;
    }
    void addPoints(int points) { mPoints += points; }
    void update(float dt) override;
    std::string describe() const override;

    // The marker a text of these points plays; empty without size markers.
    std::string markerFor(int points) const;
    int points() const { return mPoints; }
    const std::vector<SizeMarker>& sizeMarkers() const { return mSizes; }

private:
    void collect();
    void spawnText();

    AE::ISceneNode* mTemplate = nullptr;  // owned
    std::vector<AE::TextSceneNode*> mTexts;
    int mColumn = 0;
    int mRow = 0;
    int mPoints = 0;
    std::vector<SizeMarker> mSizes;
};
