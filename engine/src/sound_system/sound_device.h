#pragma once

#include <cstdint>

namespace QV {

// Where the mix goes: the default output device, or a loopback device that
// mixes only when asked and hands the samples back (tests, offline renders).
struct SoundOutput {
    bool loopback = false;
    int sampleRate = 44100;  // loopback only; 16-bit stereo
};

// The OpenAL device and its one context.
class SoundDevice {
public:
    // 0 on success, 1 when the device or the context can't be created.
    int open(const SoundOutput& output = SoundOutput());
    void close();

    // Listener AL_GAIN; only while the context exists.
    void setListenerGain(float gain);
    float listenerGain() const;

    // Loopback only: mixes the next frames into 16-bit interleaved stereo.
    // False when this is not a loopback device.
    bool render(int16_t* out, int frames);

    bool isLoopback() const { return mLoopback; }
    void* device = nullptr;
    void* context = nullptr;

private:
    bool mLoopback = false;
};

}  // namespace QV
