#pragma once

#include <cstdint>

#include "platform/gfx/gfx_types.h"

namespace QV::Gfx {

// The states a device starts with and returns to after every reset.
void setDefaultStates(bool autoDepthStencil, uint32_t renderStates[RS_COUNT],
                      uint32_t stageStates[MAX_STAGES][TSS_COUNT]);

}  // namespace QV::Gfx
