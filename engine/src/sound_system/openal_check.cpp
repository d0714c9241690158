#include "openal_check.h"

#include <al.h>
#include <alc.h>

#include <cstring>

#include "sound_log.h"

namespace QV {

namespace {

const char* baseName(const char* file) {
    const char* slash = std::strrchr(file, '/');
    return slash ? slash + 1 : file;
}

}  // namespace

bool checkOpenALError(const char* file, int line) {
    // alGetError without a current context reports an error of its own.
    if (!alcGetCurrentContext()) return false;
    ALenum error = alGetError();
    if (error == AL_NO_ERROR) return false;
    const ALchar* text = alGetString(error);
    soundLogFormat("OpenAL Error: %i %s at %s:%i", static_cast<int>(error), text ? text : "(no text)",
                   baseName(file), line);
    return true;
}

bool checkALCError(void* device, const char* file, int line) {
    ALCdevice* alcDevice = static_cast<ALCdevice*>(device);
    ALCenum error = alcGetError(alcDevice);
    if (error == ALC_NO_ERROR) return false;
    const ALCchar* text = alcGetString(alcDevice, error);
    soundLogFormat("OpenAL Error: %i %s at %s:%i", static_cast<int>(error), text ? text : "(no text)",
                   baseName(file), line);
    return true;
}

}  // namespace QV
