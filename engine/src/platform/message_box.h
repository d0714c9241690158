#pragma once

#include <string>

namespace QV::Platform {

enum class MessageBoxAnswer { Ok, Cancel };
enum class MessageBoxIcon { None, Error };

// Shows a modal OK/Cancel box. With no display (or QV_NO_MESSAGE_BOX set) it
// never blocks: the text goes to stderr and the answer is Cancel, unless
// QV_MESSAGE_BOX_ANSWER says "ok" or "cancel".
MessageBoxAnswer showOkCancelBox(const std::string& caption, const std::string& text, MessageBoxIcon icon);

// True when boxes would be shown on a real display.
bool messageBoxesInteractive();

}  // namespace QV::Platform
