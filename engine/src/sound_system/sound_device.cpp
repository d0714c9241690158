#include "sound_device.h"

#include <dlfcn.h>

#include <cstdlib>

#include <al.h>
#include <alc.h>
#define AL_ALEXT_PROTOTYPES
#include <alext.h>

#include "openal_check.h"
#include "sound_log.h"
#include "sound_manager.h"

namespace QV {

namespace {

using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using SetAlsaErrorHandler = int (*)(AlsaErrorHandler);

void dropAlsaError(const char*, int, const char*, int, const char*, ...) {}

// While the device is looked for, OpenAL Soft and the ALSA library it loads
// write their probing to standard error: a machine without a sound card got a
// screen of it besides the one log line. A user who set ALSOFT_LOGLEVEL wants
// to see it and gets all of it.
class QuietDeviceProbe {
public:
    QuietDeviceProbe() {
        // Devices are opened on the main thread only.
        static bool levelIsOurs = false;
        if (std::getenv("ALSOFT_LOGLEVEL") && !levelIsOurs) return;
        levelIsOurs = setenv("ALSOFT_LOGLEVEL", "0", 0) == 0;
        mAlsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
        if (mAlsa) mSetHandler = reinterpret_cast<SetAlsaErrorHandler>(dlsym(mAlsa, "snd_lib_error_set_handler"));
        if (mSetHandler) mSetHandler(dropAlsaError);
    }
    ~QuietDeviceProbe() {
        // Later errors of a device in use are worth seeing.
        if (mSetHandler) mSetHandler(nullptr);
        if (mAlsa) dlclose(mAlsa);
    }
    QuietDeviceProbe(const QuietDeviceProbe&) = delete;
    QuietDeviceProbe& operator=(const QuietDeviceProbe&) = delete;

private:
    void* mAlsa = nullptr;
    SetAlsaErrorHandler mSetHandler = nullptr;
};

}  // namespace

int SoundDevice::open(const SoundOutput& output) {
    mLoopback = output.loopback;
    soundLog("Creating AL Device...");
    ALCdevice* dev = nullptr;
    {
        QuietDeviceProbe quiet;
        dev = mLoopback ? alcLoopbackOpenDeviceSOFT(nullptr) : alcOpenDevice(nullptr);
    }
    if (!dev) {
        // The failure's error code says no more than this line: read it so it is not reported later.
        alcGetError(nullptr);
        soundLog("ERROR: Failed to create AL Device");
        return 1;
    }
    QV_ALC_CHECK(dev);
    device = dev;
    soundLog("Creating AL Context...");
    ALCcontext* ctx = nullptr;
    if (mLoopback) {
        const ALCint attributes[] = {ALC_FREQUENCY, output.sampleRate, ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT, 0};
        if (alcIsRenderFormatSupportedSOFT(dev, output.sampleRate, ALC_STEREO_SOFT, ALC_SHORT_SOFT))
            ctx = alcCreateContext(dev, attributes);
    } else {
        ctx = alcCreateContext(dev, nullptr);
    }
    QV_ALC_CHECK(dev);
    if (!ctx) {
        soundLog("ERROR: Failed to create AL context");
        return 1;
    }
    context = ctx;
    alcMakeContextCurrent(ctx);
    QV_ALC_CHECK(dev);
    alListenerf(AL_GAIN, 1.0f);
    QV_AL_CHECK();
    const ALfloat zero[3] = {0.0f, 0.0f, 0.0f};
    alListenerfv(AL_POSITION, zero);
    QV_AL_CHECK();
    alListenerfv(AL_VELOCITY, zero);
    QV_AL_CHECK();
    const ALfloat orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
    alListenerfv(AL_ORIENTATION, orientation);
    QV_AL_CHECK();
    if (SoundManager::hasApplication()) setListenerGain(SoundManager::applicationGainFactor());
    return 0;
}

void SoundDevice::close() {
    ALCdevice* dev = static_cast<ALCdevice*>(device);
    if (context) {
        alcMakeContextCurrent(nullptr);
        QV_ALC_CHECK(dev);
    }
    if (context) {
        alcDestroyContext(static_cast<ALCcontext*>(context));
        QV_ALC_CHECK(dev);
        context = nullptr;
    }
    if (dev) {
        alcCloseDevice(dev);
        device = nullptr;
    }
}

void SoundDevice::setListenerGain(float gain) {
    if (!context) return;
    alListenerf(AL_GAIN, gain);
    QV_AL_CHECK();
}

float SoundDevice::listenerGain() const {
    if (!context) return 0.0f;
    ALfloat gain = 0.0f;
    alGetListenerf(AL_GAIN, &gain);
    QV_AL_CHECK();
    return gain;
}

bool SoundDevice::render(int16_t* out, int frames) {
    if (!mLoopback || !context || !out || frames <= 0) return false;
    alcRenderSamplesSOFT(static_cast<ALCdevice*>(device), out, frames);
    return !QV_ALC_CHECK(device);
}

}  // namespace QV
