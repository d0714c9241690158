#include "game_helpers/progress_helper.h"

#include <algorithm>

#include "animationeditor/marker.h"
#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/text_scene_node.h"
#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "render_system.h"

namespace {

void sayMissingMarker(const std::string& marker, const AE::ISceneNode* node) {
    QV::logLine(QV::formatString("ERROR: Can't find marker '%s' in node '%s'", marker.c_str(),
                                 node ? node->mName.c_str() : "none"));
}

}  // namespace

ProgressHelper::ProgressHelper(const std::string& sceneResource) {
    QV::FileSystem* files = QV::FileSystem::instancePointer();
    // A headless run counts without a scene to show it.
    if (QV::RenderSystem::instancePointer() && files && files->hasFile("default", sceneResource))
        mScene = AE::loadScene(sceneResource);
    findNodes();
}

ProgressHelper::ProgressHelper(AE::ISceneNode* scene) : mScene(scene) { findNodes(); }

ProgressHelper::~ProgressHelper() { delete mScene; }

void ProgressHelper::findNodes() {
    // Without a scene (a headless run) the bar counts one second per star.
    mKeySpans[0] = mKeySpans[1] = mKeySpans[2] = 1.0f;
    if (!mScene) return;
    mThumb = mScene->findMarker("thumb");
    if (!mThumb) sayMissingMarker("thumb", mScene);
    AE::ISceneNode* text = mScene->findNode("#textScore");
    mText = text && text->getType() == AE::kTextNode ? static_cast<AE::TextSceneNode*>(text) : nullptr;
    AE::ISceneNode* time = mScene->findNode("#timeNode");
    if (!time || !time->mTimeline) return;
    mKeySpans[0] = mKeySpans[1] = mKeySpans[2] = 0.0f;
    const std::vector<int32_t> keys = time->getKeyFrames();
    const float frame = time->mTimeline->mFrameRate > 0.0f ? 1.0f / time->mTimeline->mFrameRate : 0.0f;
    // Fewer than three key frames leave the later spans empty.
    float previous = 0.0f;
    for (size_t i = 0; i < 3 && i < keys.size(); ++i) {
        const float at = static_cast<float>(keys[i]) * frame;
        mKeySpans[i] = at - previous;
        previous = at;
    }
}

void ProgressHelper::setSegments(int first, int second, int third) {
    mSegments[0] = first;
    mSegments[1] = second;
    mSegments[2] = third;
}

void ProgressHelper::setScore(int score) {
    mOld = mShown;
    mScore = score;
    int i = 0;
    int before = 0;
    while (i < 2 && score >= before + mSegments[i]) before += mSegments[i++];
    // A segment of no length is full once reached.
    float f = mSegments[i] > 0 ? static_cast<float>(score - before) / static_cast<float>(mSegments[i]) : 1.0f;
    if (f >= 1.0f) f = 1.0f;
    float spansBefore = 0.0f;
    for (int k = 0; k < i; ++k) spansBefore += mKeySpans[k];
    mStart = mPosition;
    mTarget = mKeySpans[i] * f + spansBefore;
    mTimer = mDuration;
}

void ProgressHelper::playMarker(const std::string& name) {
    if (!mScene) return;
    if (AE::Marker* marker = mScene->findMarker(name)) marker->play(true);
    else sayMissingMarker(name, mScene);
}

void ProgressHelper::update(float dt) {
    if (mTimer != 0.0f) {
        mTimer = std::max(mTimer - dt, 0.0f);
        const float k = mTimer / mDuration;
        mShown = mScore - static_cast<int>(static_cast<float>(mScore - mOld) * k);
        if (mText) mText->setText(QV::formatString("%d", mShown));
        mPosition = mTarget - (mTarget - mStart) * k;
        if (mThumb)
            for (AE::Marker::Entry* entry : mThumb->getEntries())
                if (entry->node) entry->node->setTime(mPosition, entry->recursive);
        int stars = 0;
        float at = 0.0f;
        for (int i = 0; i < 3; ++i) {
            at += mKeySpans[i];
            if (at <= mPosition) stars = i + 1;
        }
        if (stars != mStars) {
            mStars = stars;
            playMarker(QV::formatString("#star%d", stars));
        }
    }
    if (mScene) mScene->update(dt);
}

void ProgressHelper::render() {
    if (mScene) AE::drawScene(mScene);
}

void ProgressHelper::onLevelStart() {
    mTarget = mStart = 0.0f;
    mTimer = -1.0f;
    mScore = mOld = 0;
    playMarker("init");
    update(0.0f);
}

std::string ProgressHelper::describe() const {
    return QV::formatString("score %d shown %d stars %d", mScore, mShown, mStars);
}
