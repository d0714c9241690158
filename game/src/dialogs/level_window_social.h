#pragma once

namespace AE {
class ISceneNode;
}
namespace QV {
class UIWidget;
}

// The friends' panels of the level windows: the connect buttons
// "facebook_btn_left" and "facebook_btn_bottom" show exactly when
// `connectVisible`, the list titles exactly when not. Missing ones are skipped.
// Without a social layer the windows keep both hidden and the lists empty.
void setLevelWindowSocialButtons(QV::UIWidget* root, AE::ISceneNode* scene, bool connectVisible);
