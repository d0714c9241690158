#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qvtest {

// An Ogg Vorbis file of a sine tone: frames per channel, amplitude 0..1.
std::string makeToneOgg(uint32_t frames, int channels = 1, int rate = 22050, float amplitude = 0.5f,
                        float frequency = 440.0f);

// Root mean square of 16-bit samples (full scale 1.0).
double rmsLevel(const int16_t* samples, size_t count);

}  // namespace qvtest
