#pragma once

namespace QV {

// Logs "OpenAL Error: %i %s at %s:%i" for a pending AL error of the current
// context; true when there was one. Without a current context nothing is read.
bool checkOpenALError(const char* file, int line);

// The same for ALC calls, which report through their device (may be null).
bool checkALCError(void* device, const char* file, int line);

}  // namespace QV

#define QV_AL_CHECK() ::QV::checkOpenALError(__FILE__, __LINE__)
#define QV_ALC_CHECK(device) ::QV::checkALCError((device), __FILE__, __LINE__)
