#include "flow/game_state_manager.h"

#include "application.h"
#include "config_manager.h"
#include "lex_binded_function_manager.h"
#include "lex_binder.h"
#include "log_system.h"
#include "flow/game_level.h"
#include "flow/logo_game_state.h"
#include "flow/main_menu.h"
#include "board/mode.h"
#include "flow/movie_state.h"

namespace {

constexpr char kSetStateCommand[] = "setState";

// The current game mode hears of every state left and is stopped on the way
// back to the main menu.
void notifyStateEnded(const std::string& name) {
    if (Mode* mode = Mode::current()) mode->onStateEnded(name);
}

void deactivateCurrentMode() {
    if (Mode* mode = Mode::current()) mode->deactivate();
}

}  // namespace

IGameState::~IGameState() {
    if (GameStateManager* manager = QV::Singleton<GameStateManager>::instancePointer()) manager->unregisterState(this);
}

GameStateManager::GameStateManager(int configuredWidth, int configuredHeight)
    : mConfiguredWidth(configuredWidth), mConfiguredHeight(configuredHeight) {
    mOrientation = configuredHeight >= configuredWidth ? 1 : 0;
    bindCommands();
}

GameStateManager::GameStateManager() {
    const QV::ConfigResolution& resolution = QV::Singleton<QV::ConfigManager>::instance()->resolution();
    mConfiguredWidth = resolution.width;
    mConfiguredHeight = resolution.height;
    bindCommands();

    mMainMenu = new MainMenu();
    mMovieState = new MovieState();
    IGameState* logo = new LogoGameState();
    // The first registration becomes the current state.
    registerState(logo);
    registerState(mMovieState);
    registerState(mMainMenu);
    registerState(new GameLevel());

    // The layouts follow the window's shape.
    const ApplicationWindow* window = gApplication ? gApplication->getWindow() : nullptr;
    if (window && window->clientWidth > 0 && window->clientHeight > 0)
        mOrientation = window->clientHeight >= window->clientWidth ? 1 : 0;
    else
        mOrientation = mConfiguredHeight >= mConfiguredWidth ? 1 : 0;

    setState("LogoGameState");
}

GameStateManager::~GameStateManager() {
    QV::logLine("GameStateManager::~GameStateManager()");
    // Each state's destructor takes it out of the table.
    while (!mStates.empty()) {
        IGameState* state = mStates.begin()->second;
        const size_t before = mStates.size();
        delete state;
        if (mStates.size() == before) mStates.erase(mStates.begin());
    }
    mCurrentState = nullptr;
    mPendingState = nullptr;
    // The binder calls into this object, so it must not outlive it.
    if (mOwnsSetState) {
        if (QV::LexBindedFunctionManager* commands = QV::Singleton<QV::LexBindedFunctionManager>::instancePointer())
            commands->unregisterBinder(kSetStateCommand);
    }
}

void GameStateManager::bindCommands() {
    QV::LexBindedFunctionManager* commands = QV::Singleton<QV::LexBindedFunctionManager>::instance();
    mOwnsSetState = commands->findBinder(kSetStateCommand) == nullptr;
    commands->registerBinder(kSetStateCommand,
                             new QV::LexBinder1<std::string, GameStateManager>(this, &GameStateManager::setState));
}

IGameState* GameStateManager::findState(const std::string& name) const {
    auto it = mStates.find(name);
    return it == mStates.end() ? nullptr : it->second;
}

void GameStateManager::registerState(IGameState* state) {
    if (!state) return;
    if (!mCurrentState) mCurrentState = state;
    const bool added = mStates.emplace(state->getName(), state).second;  // a taken name keeps its first state
    if (added && !mGameLevel && state->getName() == "GameLevel") mGameLevel = state;
}

void GameStateManager::unregisterState(IGameState* state) {
    for (auto it = mStates.begin(); it != mStates.end(); ++it) {
        if (it->second == state) {
            mStates.erase(it);
            break;
        }
    }
    // A deleted state must not be switched to or updated later.
    if (mCurrentState == state) mCurrentState = nullptr;
    if (mPendingState == state) mPendingState = nullptr;
    if (mGameLevel == state) mGameLevel = nullptr;
    if (mMainMenu == state) mMainMenu = nullptr;
    if (mMovieState == state) mMovieState = nullptr;
}

void GameStateManager::changeState(IGameState* state) {
    if (!state) return;
    if (mUpdating) {
        mPendingState = state;
        return;
    }
    if (mCurrentState && mCurrentState != state) mCurrentState->onDeactivate();
    if (mCurrentState) notifyStateEnded(mCurrentState->getName());
    mCurrentState = state;
    if (state->isLoaded()) state->onActivate();
    else state->load();
    mPendingState = nullptr;
}

void GameStateManager::setState(std::string name) {
    if (IGameState* state = findState(name)) changeState(state);
    if (name == "MainMenu") deactivateCurrentMode();
}

void GameStateManager::onMovieFinished() {
    if (mMainMenu) changeState(mMainMenu);
}

void GameStateManager::step(float dt, void (*afterState)(float)) {
    if (mPendingState) {
        changeState(mPendingState);
        return;
    }
    mUpdating = true;
    if (mCurrentState && mCurrentState->isLoaded()) {
        mCurrentState->update(dt);
        if (afterState) afterState(dt);
    }
    mUpdating = false;
}

QV::Vector2<float> GameStateManager::getDesignScreenSize() const {
    if (mConfiguredWidth != mConfiguredHeight)
        return QV::Vector2<float>(static_cast<float>(mConfiguredWidth), static_cast<float>(mConfiguredHeight));
    return mOrientation == 1 ? QV::Vector2<float>(970.0f, 1726.0f) : QV::Vector2<float>(1726.0f, 970.0f);
}
