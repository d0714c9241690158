#pragma once

#include <string>

namespace AE {
class ISceneNode;
}
class FacebookUser;

// Puts a clone of the record's photo, sized to the node, into the node (a
// sprite node). Nothing without a record, a photo or a sprite node.
void putUserPhoto(FacebookUser* user, AE::ISceneNode* node);

// The record's first name as UTF-8, taken under its lock.
std::string firstNameOf(FacebookUser* user);

// A translated text used as a printf format with one string argument.
std::u16string translatedWithName(const std::string& textId, const std::string& name);
