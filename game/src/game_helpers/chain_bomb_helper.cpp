#include "game_helpers/chain_bomb_helper.h"

#include <algorithm>
#include <cstdlib>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/text_scene_node.h"
#include "board/behavior.h"
#include "board/behavior_kind.h"
#include "board/chip.h"
#include "board/chip_manager.h"
#include "board/drawable.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "board/task.h"
#include "board/view/drawable_kinds.h"
#include "flow/game_level.h"
#include "format_string.h"
#include "game_helpers/level_board.h"

namespace {

constexpr char kChainScene[] = "chain_twining_scene_xml";

// The chain's flight time where no scene can be loaded (a level without
// pictures): the "#time:" of the chain scene.
constexpr char kHeadlessFlightTime[] = "#time:0.5";

AE::ISceneNode* headlessChainScene() {
    auto* root = new AE::ISceneNode();
    auto* time = new AE::ISceneNode();
    time->mName = kHeadlessFlightTime;
    root->addChild(time, AE::KeepTransform::Local);
    return root;
}

Behavior* chainBombLayer(Chip* chip) {
    for (Behavior* layer : chip->behaviors)
        if (layer->kind == kChainBomb) return layer;
    return nullptr;
}

}  // namespace

ChainBombHelper::~ChainBombHelper() {
    // Chains still in the air when the rules go: their dialogs go with them.
    if (GameLevel* level = currentGameLevel())
        for (; mRaised > 0; --mRaised) level->decreaseDialogCount();
}

void ChainBombHelper::onLevelStart() {
    // The level load has cleared the board's effects and the dialog count.
    mBombs.clear();
    mFlights.clear();
    mRaised = 0;
}

void ChainBombHelper::loadChainBombs() {
    onLevelStart();
    mThrown = 0;
    GameField* field = currentGameField();
    if (field && field->chipManager) {
        for (Chip* chip : field->chipManager->pool) {
            if (chip->destroyed || !chainBombLayer(chip)) continue;
            mBombs.push_back(chip);
            const int limit = chipIntProperty(chip, "limit");
            setChipIntProperty(chip, "left", limit);
            showCount(chip, limit);
        }
    }
    mStepPending = false;
}

void ChainBombHelper::forgetChip(Chip* chip) {
    auto it = std::find(mBombs.begin(), mBombs.end(), chip);
    if (it != mBombs.end()) mBombs.erase(it);
}

void ChainBombHelper::showCount(Chip* bomb, int value) {
    Behavior* layer = chainBombLayer(bomb);
    if (!layer || layer->onIdleDrawables.empty()) return;
    auto* drawable = dynamic_cast<SceneDrawable*>(layer->onIdleDrawables.items.front());
    AE::ISceneNode* scene = drawable ? drawable->getScene() : nullptr;
    // The count and, where the scene gives it one, its shadow.
    for (const char* name : {"#limit", "#limit_shadow"}) {
        AE::ISceneNode* node = scene ? scene->findNode(name) : nullptr;
        if (node && node->getType() == AE::kTextNode)
            static_cast<AE::TextSceneNode*>(node)->setText(QV::formatString("%d", value));
    }
}

void ChainBombHelper::update(float) {
    if (!mStepPending) return;
    GameField* field = currentGameField();
    if (!field || field->taskManager->size() != 0) return;
    // With a booster or a window at work the count goes on without a sweep.
    if (levelDialogCount() > 0 || !field->destroyMatches(true)) step();
}

std::string ChainBombHelper::describe() const {
    if (mBombs.empty() && mFlights.empty() && mThrown == 0) return std::string();
    std::string line = QV::formatString("chainbombs count=%d pending=%d flying=%d thrown=%d",
                                        static_cast<int>(mBombs.size()), mStepPending ? 1 : 0,
                                        static_cast<int>(mFlights.size()), mThrown);
    for (const Chip* bomb : mBombs)
        line += QV::formatString(" %d,%d:left=%d", static_cast<int>(bomb->position.x),
                                 static_cast<int>(bomb->position.y), chipIntProperty(bomb, "left"));
    return line;
}

void ChainBombHelper::step() {
    mStepPending = false;
    GameField* field = currentGameField();
    if (!field || !field->chipManager) return;
    // A bomb that lost its bomb layer (matched, the chip left plain) counts no more.
    mBombs.erase(std::remove_if(mBombs.begin(), mBombs.end(),
                                [](Chip* bomb) { return bomb->destroyed || !chainBombLayer(bomb); }),
                 mBombs.end());
    std::vector<Chip*> candidates;
    for (Chip* chip : field->chipManager->pool) {
        if (chip->destroyed || chip->behaviors.size() != 1 || chip->behaviors.back()->kind != kSimple) continue;
        candidates.push_back(chip);
    }
    const float size = static_cast<float>(field->cellSize);
    for (Chip* bomb : mBombs) {
        int left = chipIntProperty(bomb, "left") - 1;
        if (left == 0) {
            throwChains(QV::Vector2<float>(bomb->position.x * size, bomb->position.y * size),
                        chipIntProperty(bomb, "chains"), candidates);
            left = chipIntProperty(bomb, "limit");
        }
        showCount(bomb, left);
        setChipIntProperty(bomb, "left", left);
    }
}

void ChainBombHelper::throwChains(const QV::Vector2<float>& from, int chains, std::vector<Chip*>& candidates) {
    GameField* field = currentGameField();
    GameLevel* level = currentGameLevel();
    if (!field) return;
    const float size = static_cast<float>(field->cellSize);
    const int count = std::min(chains, static_cast<int>(candidates.size()));
    for (int i = 0; i < count; ++i) {
        const size_t pick = static_cast<size_t>(std::rand()) % candidates.size();
        Chip* target = candidates[pick];
        candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(pick));
        const QV::Vector2<float> to(target->position.x * size, target->position.y * size);
        auto* flight = level && level->isHeadless()
                           ? new SceneFlyingEffect(headlessChainScene(), kChainScene, kFlightLayer, from, to, "init")
                           : new SceneFlyingEffect(kChainScene, kFlightLayer, from, to, "init");
        flight->addListener(this);
        field->effectList()->add(flight);
        mFlights[flight] = {target, target->generation};
        ++mThrown;
        if (level) {
            level->increaseDialogCount();
            ++mRaised;
        }
    }
    holdBoard(field);
}

void ChainBombHelper::holdBoard(GameField* field) {
    const bool still = !mFlights.empty();
    field->refillEnabled = !still;
    field->fallEnabled = !still;
}

void ChainBombHelper::onSceneFlyingEffectFinished(SceneFlyingEffect* effect) {
    auto it = mFlights.find(effect);
    if (it == mFlights.end()) return;
    if (mRaised > 0) {
        if (GameLevel* level = currentGameLevel()) level->decreaseDialogCount();
        --mRaised;
    }
    const Target target = it->second;
    mFlights.erase(it);
    // A target destroyed (or handed out anew) while the chain flew keeps no chain.
    Chip* chip = target.chip;
    if (chip->generation == target.generation && !chip->destroyed && !chip->behaviors.empty())
        chip->behaviors.add(Behavior::createByKind(kChain, chip->group));
    if (GameField* field = currentGameField()) holdBoard(field);
}
