#include "game_helpers/score_text_helper.h"

#include <algorithm>
#include <cctype>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "animationeditor/text_scene_node.h"
#include "board/game_field.h"
#include "board/game_field_effect.h"
#include "file_system.h"
#include "flow/game_level.h"
#include "flow/game_state_manager.h"
#include "format_string.h"
#include "game_helpers/text_score_effect.h"
#include "render_system.h"

namespace {

constexpr char kTemplate[] = "score_text_scene_xml";
constexpr char kLimitPrefix[] = "limit:";

// The whole number at the start of text: an optional "-" and digits (0 without digits).
int leadingNumber(const std::string& text) {
    size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++at;
    long value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && value < 1000000000L; ++at)
        value = value * 10 + (text[at] - '0');
    return static_cast<int>(negative ? -value : value);
}

GameField* levelField() {
    GameStateManager* states = GameStateManager::instancePointer();
    auto* level = states ? static_cast<GameLevel*>(states->getGameLevel()) : nullptr;
    return level ? level->getField() : nullptr;
}

}  // namespace

ScoreTextHelper::ScoreTextHelper() {
    QV::FileSystem* files = QV::FileSystem::instancePointer();
    // A headless run counts the points and shows nothing.
    if (QV::RenderSystem::instancePointer() && files && files->hasFile("default", kTemplate))
        mTemplate = AE::loadScene(kTemplate);
    collect();
}

ScoreTextHelper::ScoreTextHelper(AE::ISceneNode* scene) : mTemplate(scene) { collect(); }

ScoreTextHelper::~ScoreTextHelper() { delete mTemplate; }

void ScoreTextHelper::collect() {
    if (!mTemplate) return;
    for (int i = 0;; ++i) {
        AE::ISceneNode* node = mTemplate->findNode(QV::formatString("#text[%d]", i));
        if (!node) break;
        if (node->getType() == AE::kTextNode) mTexts.push_back(static_cast<AE::TextSceneNode*>(node));
    }
    for (const AE::Marker* marker : mTemplate->mMarkers) {
        const std::string& name = marker->getName();
        if (name.find(kLimitPrefix) == std::string::npos) continue;
        mSizes.push_back({leadingNumber(name.size() > 6 ? name.substr(6) : std::string()), name});
    }
    std::stable_sort(mSizes.begin(), mSizes.end(),
                     [](const SizeMarker& a, const SizeMarker& b) { return a.limit < b.limit; });
}

std::string ScoreTextHelper::markerFor(int points) const {
    if (mSizes.empty()) return std::string();
    // Below every limit the smallest size is used.
    std::string chosen = mSizes.front().name;
    for (const SizeMarker& size : mSizes)
        if (size.limit <= points) chosen = size.name;
    return chosen;
}

void ScoreTextHelper::spawnText() {
    const std::string text = QV::formatString("+%d", mPoints);
    GameField* field = levelField();
    if (mTemplate && field) {
        for (AE::TextSceneNode* node : mTexts) node->setText(text);
        AE::ISceneNode* copy = mTemplate->clone(nullptr);
        const float cs = static_cast<float>(field->cellSize);
        copy->setPosition(QV::Vector2<float>(cs * (mColumn + 0.5f), cs * (mRow + 0.5f)));
        field->effectList()->add(new TextScoreEffect(copy, markerFor(mPoints)));
    }
    mPoints = 0;
}

void ScoreTextHelper::update(float) {
    if (mPoints != 0) spawnText();
}

std::string ScoreTextHelper::describe() const { return QV::formatString("scoretext pending %d", mPoints); }
