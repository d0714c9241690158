#include "flow/main_mode.h"

#include "flow/game_state_manager.h"
#include "lex_binded_function_manager.h"
#include "lex_binder.h"
#include "flow/main_mode_map_state.h"
#include "player/main_mode_section.h"
#include "flow/movie_state.h"

namespace {

constexpr char kNewGameCommand[] = "newGame";
constexpr char kIntroScene[] = "dialog_1_xml";

GameStateManager* states() { return GameStateManager::instancePointer(); }

MovieState* movieState() {
    GameStateManager* manager = states();
    return manager ? static_cast<MovieState*>(manager->getMovieState()) : nullptr;
}

}  // namespace

MainMode::MainMode(const std::string& suffix) : mSuffix(suffix) {
    mEpisodes = readEpisodes("main_mode_lua", mSuffix);
    updateLocks();
}

MainMode::~MainMode() {
    // The command calls into this object, so it must not outlive it.
    if (mOwnsNewGameCommand) {
        if (QV::LexBindedFunctionManager* commands = QV::LexBindedFunctionManager::instancePointer())
            commands->unregisterBinder(kNewGameCommand);
    }
    deleteEpisodes(mEpisodes);
}

void MainMode::activate() {
    // A second activation keeps the first binding.
    if (QV::LexBindedFunctionManager* commands = QV::LexBindedFunctionManager::instancePointer()) {
        if (!commands->findBinder(kNewGameCommand)) {
            commands->registerBinder(kNewGameCommand, new QV::LexBinder<MainMode>(this, &MainMode::newGame));
            mOwnsNewGameCommand = true;
        }
    }
    GameStateManager* manager = states();
    relayout(manager ? manager->getOrientation() : 0);
    Mode::activate();
    MovieState* movie = movieState();
    if (movie) movie->setListener(this);
    if (mHasProgress) {
        showMap();
        return;
    }
    // A fresh profile starts with the intro; the click that started the game must not skip its first part.
    if (movie && manager) {
        movie->setSkipFirstClick(true);
        movie->setSceneName(kIntroScene);
        manager->setState("MovieState");
    }
}

void MainMode::deactivate() { Mode::deactivate(); }

void MainMode::createStates() {
    if (mMapState) return;
    mMapState = new MainModeMapState(this);
    if (GameStateManager* manager = states()) manager->registerState(mMapState);
}

void MainMode::onMovieFinished() {
    mHasProgress = true;
    showMap();
}

void MainMode::showMap() {
    if (GameStateManager* manager = states()) manager->setState("MainModeMap");
}

void MainMode::replayLevel() {
    mLevelRunning = false;
    if (GameStateManager* manager = states()) manager->setState("GameLevel");
}

void MainMode::newGame() { replayLevel(); }

void MainMode::addHeart() {
    if (uint32_t(mHearts) < 5u) ++mHearts;
}

void MainMode::updateLocks() { ::updateLocks(mEpisodes); }

void MainMode::updateProgress() {
    const ProgressPosition at = computeProgressPosition(mEpisodes);
    mCurrentEpisode = at.episode;
    mCurrentPart = at.part;
    mCurrentLevel = at.level;
    mHasProgress = at.hasProgress;
}

void MainMode::reset(int) {
    mHasProgress = false;
    mHearts = 5;
    for (Episode* episode : mEpisodes) resetEpisode(episode);
    updateLocks();
    updateProgress();
}

MainModeProgress MainMode::toProgress() const {
    MainModeProgress p;
    p.hearts = mHearts;
    p.heartTime = mHeartTime;
    p.hasProgress = mHasProgress;
    p.extraMoves = mExtraMoves;
    p.currentEpisode = mCurrentEpisode;
    p.currentPart = mCurrentPart;
    p.currentLevel = mCurrentLevel;
    for (const Episode* episode : mEpisodes) {
        MainModeEpisodeProgress e;
        for (const EpisodePart* part : episode->mParts) {
            MainModePartProgress pp;
            pp.closed = part->mClosed;
            for (const EpisodeLevel* level : part->mLevels) pp.levels.push_back({level->mCompleted, level->mBestScore});
            e.parts.push_back(pp);
        }
        p.episodes.push_back(e);
    }
    return p;
}

void MainMode::applyProgress(const MainModeProgress& p) {
    mHearts = p.hearts;
    mHeartTime = p.heartTime;
    mHasProgress = p.hasProgress;
    mExtraMoves = p.extraMoves;
    mCurrentEpisode = p.currentEpisode;
    mCurrentPart = p.currentPart;
    mCurrentLevel = p.currentLevel;
    for (size_t e = 0; e < mEpisodes.size() && e < p.episodes.size(); ++e)
        for (size_t k = 0; k < mEpisodes[e]->mParts.size() && k < p.episodes[e].parts.size(); ++k) {
            EpisodePart* part = mEpisodes[e]->mParts[k];
            const MainModePartProgress& pp = p.episodes[e].parts[k];
            part->mClosed = pp.closed;
            for (size_t l = 0; l < part->mLevels.size() && l < pp.levels.size(); ++l) {
                part->mLevels[l]->mCompleted = pp.levels[l].completed;
                part->mLevels[l]->mBestScore = pp.levels[l].bestScore;
            }
        }
}

void MainMode::writeSection(AE::DataStream& out) { writeMainModeSection(out, toProgress()); }

bool MainMode::readSection(AE::DataStream& in) {
    MainModeProgress progress = toProgress();
    const bool fits = readMainModeSection(in, progress) == MainModeSectionRead::Read;
    if (fits) applyProgress(progress);
    updateLocks();
    return fits;
}
