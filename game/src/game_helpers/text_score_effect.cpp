#include "game_helpers/text_score_effect.h"

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"

TextScoreEffect::TextScoreEffect(AE::ISceneNode* scene, const std::string& marker)
    : GameFieldEffect(kLayer), mScene(scene) {
    mMarker = mScene ? mScene->findMarker(marker) : nullptr;
    if (!mMarker) {
        finished = true;
        return;
    }
    mMarker->addListener(this);
    mMarker->play(true);
}

TextScoreEffect::~TextScoreEffect() {
    if (mMarker) mMarker->removeListener(this);
    delete mScene;
}

void TextScoreEffect::update(float dt) {
    if (mScene) mScene->update(dt);
}

void TextScoreEffect::draw() {
    if (mScene) AE::drawScene(mScene);
}

void TextScoreEffect::onMarkerFinished(AE::Marker* marker) {
    if (marker == mMarker) finished = true;
}
