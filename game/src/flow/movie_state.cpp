#include "flow/movie_state.h"

#include "animationeditor/scene_draw.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "format_string.h"
#include "function.h"
#include "flow/game_state_manager.h"
#include "input_manager.h"
#include "job_manager.h"
#include "flow/layout_markers.h"
#include "log_system.h"
#include "video_player.h"

std::vector<CutscenePart> findCutsceneParts(AE::ISceneNode* root) {
    std::vector<CutscenePart> parts;
    if (!root) return parts;
    for (int n = 1;; ++n) {
        CutscenePart part;
        part.marker = root->findMarker(QV::formatString("#part:%d", n));
        if (!part.marker) {
            part.marker = root->findMarker(QV::formatString("#part:%da", n));
            part.automatic = true;
        }
        if (!part.marker) break;
        parts.push_back(part);
    }
    return parts;
}

namespace {

bool videoPlaying() {
    QV::VideoPlayer* video = QV::Singleton<QV::VideoPlayer>::instancePointer();
    return video && video->isPlaying();
}

}  // namespace

MovieState::~MovieState() { unload(); }

void MovieState::load() { initializeAsync(); }

void MovieState::onActivate() { initializeAsync(); }

void MovieState::onDeactivate() { unload(); }

void MovieState::initializeAsync() {
    QV::logLine("void MovieState::initializeAsync() -begin");
    QV::Job* job = QV::Singleton<QV::JobManager>::instance()->addJob(new QV::Function<MovieState>(this, &MovieState::initialize));
    if (job && !job->isStarted()) job->start();
    QV::logLine("void MovieState::initializeAsync() -end");
}

void MovieState::initialize() {
    if (isLoaded()) return;
    mCurrentPart = 0;
    mBroken = false;
    mSceneRoot = AE::loadScene(mSceneName);
    mParts = findCutsceneParts(mSceneRoot);
    if (mParts.empty()) {
        // Nothing to play: the listener hears of the end at the first update.
        QV::logLine(QV::formatString("ERROR: Cutscene '%s' %s", mSceneName.c_str(),
                                     mSceneRoot ? "has no part 1" : "could not be loaded"));
        mBroken = true;
    }
    mWaitingForVideo = videoPlaying();
    if (!mWaitingForVideo && !mBroken) startCurrentPart();
    setLoaded(true);
    GameStateManager* manager = QV::Singleton<GameStateManager>::instancePointer();
    onOrientationChanged(manager ? manager->getOrientation() : 0);
}

void MovieState::startCurrentPart() {
    if (AE::Marker* init = mSceneRoot->findMarker("init")) init->play(true);
    AE::Marker* marker = mParts[size_t(mCurrentPart)].marker;
    marker->addListener(this);
    marker->play(true);
}

void MovieState::unload() {
    if (!isLoaded()) return;
    setLoaded(false);
    for (CutscenePart& part : mParts) part.marker->removeListener(this);
    delete mSceneRoot;
    mSceneRoot = nullptr;
    mParts.clear();
    mBroken = false;
}

bool MovieState::clickReleased() const {
    QV::InputManager* input = QV::Singleton<QV::InputManager>::instancePointer();
    return input && input->isMouseReleased();
}

void MovieState::update(float dt) {
    if (!isLoaded()) return;
    if (mBroken) {
        mBroken = false;
        if (mListener) mListener->onMovieFinished();
        return;
    }
    if (mWaitingForVideo && !videoPlaying()) {
        mWaitingForVideo = false;
        if (!mParts.empty()) startCurrentPart();
    }
    if (mSceneRoot) mSceneRoot->update(dt);
    if (clickReleased()) {
        if (mSkipFirstClick) {
            mSkipFirstClick = false;
        } else {
            nextPart();
        }
    }
}

void MovieState::nextPart() {
    if (mCurrentPart + 1 >= int(mParts.size())) {
        if (mListener) mListener->onMovieFinished();
        return;
    }
    AE::Marker* previous = mParts[size_t(mCurrentPart)].marker;
    ++mCurrentPart;
    previous->removeListener(this);
    // Its last frame stays on screen under the next part.
    previous->skipToEnd();
    previous->stop(false);
    AE::Marker* current = mParts[size_t(mCurrentPart)].marker;
    current->addListener(this);
    current->play(true);
}

void MovieState::onMarkerFinished(AE::Marker* marker) {
    marker->removeListener(this);
    if (!mParts.empty() && mParts[size_t(mCurrentPart)].automatic && marker == mParts[size_t(mCurrentPart)].marker)
        nextPart();
}

void MovieState::render() {
    if (!isLoaded()) return;
    if (mSceneRoot) AE::drawScene(mSceneRoot);
}

void MovieState::onOrientationChanged(int) {
    if (mSceneRoot) adaptSceneLayout(mSceneRoot);
}
